#pragma once

#include <QWidget>

#include "ModelApi.h"

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
/// Created once at start-up; the main window shows and hides it with
/// showInspector(); closing it only hides it and emits
/// visibilityChangedByUser(false). It asks the model library nothing while
/// hidden.
class TfInspect : public QWidget {
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 150;
    static constexpr int MinimumHeight = 200;
    /// Rows before the first state, header included.
    static constexpr int FixedRows = 3;

    explicit TfInspect(ModelApi model = {}, QWidget* parent = nullptr);
    ~TfInspect() override;

    /// Rebuilds the state rows from the model library (after each new
    /// simulation): state count + 3 rows, the names in the first column;
    /// values stay as they were until the next inspection, the description
    /// goes back to "Description" and an empty text. The name column is as
    /// wide as its longest name; a window still at its default size grows
    /// until the value column shows a value of 15 digits whole.
    void fillInspectorStates();
    /// Shows or hides the window; returns whether it is visible now. Showing
    /// makes the first state row current when there are state rows and the
    /// current row lies above them.
    bool showInspector(bool show);
    /// Shows the site at `column`, `row`, drawn in `color` (red in the low
    /// byte, green in the next, blue in the third). Does nothing while hidden.
    void inspectSite(int column, int row, unsigned int color);

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
    QWidget* buildDescriptionPanel();
    void setValue(int tableRow, const QString& text);
    void FormResize();
    int textWidth(const QString& text) const;
    int nameColumnWidth() const;
    int preferredWidth() const;
    void restoreDisplaySettings();
    void saveDisplaySettings() const;

    ModelApi m_model;
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
