#pragma once

#include <QString>
#include <QWidget>

#include <array>

namespace tessra {

/// The main window's status bar (sbStatus): four panels, message, tick, frame rate and
/// tick rate. The tick panel is 5h wide and the rate panels 3h each (h the bar's
/// height); the message panel takes the rest. Each panel has its hint; a double click
/// asks the window to collapse or expand.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    enum Panel { Message = 0, Tick = 1, FrameRate = 2, TickRate = 3 };

    explicit StatusBar(QWidget* parent = nullptr);

    void setPanelText(Panel panel, const QString& text);
    QString panelText(Panel panel) const { return m_texts[panel]; }
    /// The panel widths for a bar `height` high and `width` wide, left to right.
    static std::array<int, 4> panelWidths(int height, int width);
    /// The panel under x (counted from the left; beyond the frame-rate panel: tick rate).
    Panel panelAt(int x) const;
    /// The hint shown over `panel`.
    QString panelHint(Panel panel) const;

    QSize sizeHint() const override;

signals:
    /// sbStatusDblClick: the collapse toggle.
    void doubleClicked();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::array<QString, 4> m_texts;
};

} // namespace tessra
