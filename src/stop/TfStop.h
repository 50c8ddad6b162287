#pragma once

#include <QWidget>

class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace tessra {

class StopConditions;

/// The Stop Conditions window: a modeless tool window that shows and edits
/// the stop conditions, their inputs and the enable switch. It is a view over
/// StopConditions and keeps no data of its own, so automation that changes
/// the conditions shows up here whether the window is visible or not.
///
/// Create it once at start-up, hidden, with the application's StopConditions
/// (which must outlive it); show and hide it with setVisible(). Closing it
/// only hides it. Each showing fills the name list. Its placement is kept in
/// the display settings (group "StopConditions"); the switch is not stored.
///
/// Child object names: cgbEnabled (the check group box whose check is the
/// switch), sgStopConditions (the grid), cbName, rbGreaterEqual, rbEqual,
/// rbLessEqual, feValue, bAdd, bRemove, bRemoveAll, lConditions, lAddNew.
class TfStop : public QWidget {
    Q_OBJECT
public:
    explicit TfStop(StopConditions& conditions, QWidget* parent = nullptr);
    ~TfStop() override;

    /// Keeps the check mark of `menuItem` (the main menu's "Stop
    /// &Conditions...") equal to the switch: makes it checkable, checks it
    /// now as the switch is, follows every change, and puts the mark back
    /// when a click on the item would toggle it. Showing the window on that
    /// click stays the menu's own business.
    void mirrorSwitch(QAction* menuItem);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    QWidget* buildGridSide();
    QWidget* buildInputSide();
    void connectControls();

    void bAddClick();
    void bRemoveClick();
    void bRemoveAllClick();
    void cgbEnabledClick(bool checked);
    /// Rewrites the value edit with six decimals; a text that is no number
    /// beeps and returns to the previous value.
    void feValueExit();

    void showEnabled(bool enabled);
    void showNames();
    void showInputs();
    void showConditions();
    void fitColumns();
    void restorePlacement();
    void savePlacement() const;

    StopConditions& m_conditions;
    QGroupBox* m_enabled = nullptr;
    QTableWidget* m_grid = nullptr;
    QComboBox* m_name = nullptr;
    QRadioButton* m_greaterEqual = nullptr;
    QRadioButton* m_equal = nullptr;
    QRadioButton* m_lessEqual = nullptr;
    QLineEdit* m_value = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_removeAll = nullptr;
    double m_shownValue = 0.0;
};

} // namespace tessra
