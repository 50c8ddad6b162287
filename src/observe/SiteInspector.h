#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

#include "ModelApi.h"

namespace tessra {

/// The inspected site, without any widget: the site under the pointer in the
/// portal, the colour it is drawn in, the value of every state there and the
/// model's description of the chosen state. The front end's core owns the one
/// instance and feeds it the pointer's moves; the site inspector window is a
/// view that follows its signals and makes its choices (showing, the chosen
/// state) through it.
///
/// It asks the model library nothing while it is not shown. Every call
/// belongs on the GUI thread.
class SiteInspector : public QObject {
    Q_OBJECT
public:
    /// What the description shows when there is no state to describe.
    static QString noDescription() { return QStringLiteral("Description"); }

    explicit SiteInspector(ModelApi model = {}, QObject* parent = nullptr);

    /// Reads the state names afresh (after each new world or model load).
    /// Values inspected before stay, for the states that still exist, until
    /// the next inspection; the description goes back to noDescription() and
    /// an empty text. A chosen state the model no longer has is given up.
    /// Emits statesChanged().
    void fillStates();
    QStringList stateNames() const { return m_stateNames; }
    int stateCount() const { return static_cast<int>(m_stateNames.size()); }

    /// Whether the inspector is shown, and so follows the pointer. Showing
    /// chooses the first state when there are states and none is chosen.
    /// Emits shownChanged() on a change.
    void setShown(bool shown);
    bool isShown() const { return m_shown; }

    /// The state whose description is shown from the next inspection on;
    /// -1 for none (the position rows). Emits chosenStateChanged() on a change.
    void chooseState(int state);
    int chosenState() const { return m_chosenState; }

    /// The pointer is over `column`, `row`, drawn in `colour` (red in the low
    /// byte, green in the next, blue in the third): while shown, reads every
    /// state's value there and the chosen state's description, and emits
    /// siteChanged(). While hidden, does nothing.
    void inspectSite(int column, int row, unsigned int colour);

    /// Whether a site has been inspected since the program started.
    bool hasSite() const { return m_hasSite; }
    int column() const { return m_column; }
    int row() const { return m_row; }
    unsigned int colour() const { return m_colour; }
    /// The value of state `state` at the last inspected site; none before the
    /// first inspection that covered that state, or outside the states.
    std::optional<double> value(int state) const;
    /// The chosen state's name at the last inspection, or noDescription().
    QString aboutLabel() const { return m_aboutLabel; }
    /// The model's description of the chosen state at the last inspected site.
    QString aboutText() const { return m_aboutText; }

signals:
    void statesChanged();
    void shownChanged(bool shown);
    void chosenStateChanged(int state);
    void siteChanged();

private:
    ModelApi m_model;
    QStringList m_stateNames;
    QList<std::optional<double>> m_values;
    bool m_shown = false;
    int m_chosenState = -1;
    bool m_hasSite = false;
    int m_column = 0;
    int m_row = 0;
    unsigned int m_colour = 0;
    QString m_aboutLabel = noDescription();
    QString m_aboutText;
};

} // namespace tessra
