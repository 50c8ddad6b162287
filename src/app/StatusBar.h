#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>

namespace tessra {

/// The main window's status bar (sbStatus): four panels, message, tick, frame rate and
/// tick rate. The tick panel is 5h wide (h the bar's height). Each rate panel is at
/// least 3h wide and wide enough for a seven-digit rate ("9999999 tps") and for the
/// longest text it has shown, so no digit of a rate is ever cut; the message panel
/// takes the rest but for h on the right. Each panel has its hint; a double click asks
/// the window to collapse or expand.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    enum Panel { Message = 0, Tick = 1, FrameRate = 2, TickRate = 3 };

    explicit StatusBar(QWidget* parent = nullptr);

    void setPanelText(Panel panel, const QString& text);
    QString panelText(Panel panel) const { return m_texts[panel]; }
    /// The panel widths, left to right, for a bar `height` high and `width` wide whose
    /// frame-rate and tick-rate panels need `frameRateWidth` and `tickRateWidth` pixels
    /// for their texts.
    static std::array<int, 4> panelWidths(
        int height, int width, int frameRateWidth = 0, int tickRateWidth = 0);
    /// The panel widths now, from the bar's size, its font and the rate texts shown.
    std::array<int, 4> panelWidths() const;
    /// The text as `panel` shows it: cut short with an ellipsis only where the panel
    /// is too narrow for it.
    QString shownText(Panel panel) const;
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
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    /// The width a rate panel needs for `text`, frame and margins included.
    int rateWidth(const QString& text) const;
    /// Measures the longest texts afresh (at first and when the font changes).
    void measureLongest();
    /// The part of the bar `panel` covers, its gap included.
    QRect panelBox(Panel panel) const;
    /// Repaints `area` now, or with what else changed once a screen frame has passed
    /// since the last repaint.
    void repaintSoon(const QRect& area);
    void repaintPending();

    std::array<QString, 4> m_texts;
    /// The widest text each rate panel has to fit (a seven-digit rate at first).
    std::array<QString, 4> m_longest;
    /// rateWidth of each of m_longest, kept so that painting measures no text.
    std::array<int, 4> m_longestWidth {};
    QRegion m_pending;
    QTimer m_frameTimer;
    QElapsedTimer m_sinceRepaint;
};

} // namespace tessra
