#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace tessra {

/// The "Series" page of the time-series window: the operation list, the
/// subject list filled for the chosen operation, Add and Remove, and the
/// Series list. The controls are placed by fixed rules relative to the
/// page's size (layOut()), not by a layout manager. The window connects the
/// controls to its commands.
class SeriesPage : public QWidget {
    Q_OBJECT
public:
    /// Design height of one row of the Series list; a larger font gets taller rows.
    static constexpr int DesignItemHeight = 16;
    static constexpr int ButtonWidth = 75;
    static constexpr int ButtonHeight = 25;

    explicit SeriesPage(QWidget* parent = nullptr);

    /// Places every control for the page's present size.
    void layOut();
    /// Height of one row of the Series list, in pixels.
    int itemHeight() const;

    QLabel* Label1 = nullptr;
    QListWidget* lbOperation = nullptr;
    QLabel* lState = nullptr;
    QListWidget* lbStates = nullptr;
    QPushButton* bAdd = nullptr;
    QPushButton* bRemove = nullptr;
    QLabel* lSeries = nullptr;
    QListWidget* lbSeries = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
};

} // namespace tessra
