#pragma once

#include <QElapsedTimer>

#include <cstdio>
#include <optional>

namespace tessra {

/// What a run without a screen tells on its standard error: the model's debug
/// log, line by line, and, when that is a terminal, one progress line kept at
/// the bottom ("Tick 1200   850 ticks/s   0:03 left"), redrawn a few times a
/// second. Quiet, it tells nothing.
class ProgressLine {
public:
    /// `showProgress`: draw the progress line (on a terminal); `showLog`: pass the
    /// model's debug log on.
    ProgressLine(std::FILE* out, bool showProgress, bool showLog);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    /// Whether `out` is a terminal.
    static bool isTerminal(std::FILE* out);

    /// The run starts at `fromTick` and ends at `untilTick` (nothing: unknown).
    void start(double fromTick, std::optional<double> untilTick);
    /// The time after a step. Cheap: redraws at most every 200 ms.
    void update(double tick);
    /// A text of the model's debug log: its lines, each ended by a line feed.
    void log(const char* text);
    /// Removes the progress line.
    void finish();

private:
    void draw(double tick);
    void clear();

    std::FILE* m_out;
    bool m_showProgress;
    bool m_showLog;
    bool m_drawn = false;
    QElapsedTimer m_clock;
    qint64 m_nextDraw = 0;
    double m_fromTick = 0;
    double m_lastTick = 0;
    std::optional<double> m_untilTick;
};

} // namespace tessra
