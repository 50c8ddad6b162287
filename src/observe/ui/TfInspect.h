#pragma once

#include <QWidget>

#include "SiteInspector.h"

class QLabel;
class QPlainTextEdit;
class QSplitter;
class QTableWidget;

namespace tessra {

/// The "Inspect Sites" window: a small window on top of the others that
/// shows the site under the pointer in the main window's portal: its colour,
/// its position, the value of every state and the model's description of the
/// chosen state (the grid's selected row) at that site.
///
/// The grid's rows, counted as the window shows them: row 0 the header
/// ("Name", "Value"), rows 1 and 2 "X Position" and "Y Position", then state
/// i in row i + 3. In the table widget the header is apart, so state i is
/// table row i + 2.
///
/// A view of the core's SiteInspector: it shows and hides itself as the
/// inspector is shown, fills its rows from the inspector's states and values,
/// and hands the user's choice of row to it (chooseState). Created once at
/// start-up; the main window shows and hides the inspector through the front
/// end; closing the window hides the inspector and emits
/// visibilityChangedByUser(false).
class TfInspect : public QWidget {
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 150;
    static constexpr int MinimumHeight = 200;
    /// Rows before the first state, header included.
    static constexpr int FixedRows = 3;

    /// `inspector` must outlive the window.
    explicit TfInspect(SiteInspector& inspector, QWidget* parent = nullptr);
    ~TfInspect() override;

    /// The chosen state: the selected row minus 3, or -1 for a position row
    /// or no selection.
    int chosenState() const;
    /// A state value as the grid shows it: 15 significant digits, the user's locale.
    static QString valueText(double value);

signals:
    /// The user closed the window with its close button.
    void visibilityChangedByUser(bool visible);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    void fillInspectorStates();
    void showInspector(bool show);
    void showSite();
    void showChosenState(int state);
    void rowChosen(int tableRow);
    QWidget* buildDescriptionPanel();
    void setValue(int tableRow, const QString& text);
    void FormResize();
    int textWidth(const QString& text) const;
    int nameColumnWidth() const;
    int preferredWidth() const;
    void restoreDisplaySettings();
    void saveDisplaySettings() const;

    SiteInspector& m_inspector;
    bool m_settingsRestored = false;
    /// No size was restored from the display settings.
    bool m_defaultSize = true;

    QWidget* Panel1 = nullptr;
    QTableWidget* sgState = nullptr;
    QSplitter* RxSplitter1 = nullptr;
    QWidget* pAboutState = nullptr;
    QLabel* lAboutState = nullptr;
    QPlainTextEdit* mAboutState = nullptr;
};

} // namespace tessra
