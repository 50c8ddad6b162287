#include "ProgressLine.h"

#include <cmath>
#include <cstring>
#include <unistd.h>

namespace tessra {

namespace {

constexpr qint64 RedrawMs = 200;

void writeDuration(std::FILE* out, double seconds)
{
    const long long s = std::llround(seconds);
    if (s >= 3600)
        std::fprintf(out, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::fprintf(out, "%lld:%02lld", s / 60, s % 60);
}

} // namespace

ProgressLine::ProgressLine(std::FILE* out, bool showProgress, bool showLog)
    : m_out(out)
    , m_showProgress(showProgress)
    , m_showLog(showLog)
{
    m_clock.start();
}

ProgressLine::~ProgressLine()
{
    finish();
}

bool ProgressLine::isTerminal(std::FILE* out)
{
    return ::isatty(::fileno(out)) != 0;
}

void ProgressLine::start(double fromTick, std::optional<double> untilTick)
{
    m_fromTick = fromTick;
    m_lastTick = fromTick;
    m_untilTick = untilTick;
    m_clock.restart();
    m_nextDraw = RedrawMs;
}

void ProgressLine::update(double tick)
{
    m_lastTick = tick;
    if (!m_showProgress || m_clock.elapsed() < m_nextDraw)
        return;
    m_nextDraw = m_clock.elapsed() + RedrawMs;
    draw(tick);
}

void ProgressLine::draw(double tick)
{
    const double seconds = static_cast<double>(m_clock.elapsed()) * 1e-3;
    const double rate = seconds > 0 ? (tick - m_fromTick) / seconds : 0;
    std::fprintf(m_out, "\r\033[KTick %.0f   %.0f ticks/s", std::floor(tick), rate);
    if (m_untilTick && rate > 0) {
        std::fputs("   ", m_out);
        writeDuration(m_out, std::max(0.0, (*m_untilTick - tick) / rate));
        std::fputs(" left", m_out);
    }
    std::fflush(m_out);
    m_drawn = true;
}

void ProgressLine::clear()
{
    if (!m_drawn)
        return;
    std::fputs("\r\033[K", m_out);
    m_drawn = false;
}

void ProgressLine::log(const char* text)
{
    if (!m_showLog || !text || !*text)
        return;
    const bool redraw = m_drawn;
    clear();
    const std::size_t length = std::strlen(text);
    std::fwrite(text, 1, length, m_out);
    if (text[length - 1] != '\n')
        std::fputc('\n', m_out);
    if (redraw)
        draw(m_lastTick);
    std::fflush(m_out);
}

void ProgressLine::finish()
{
    clear();
    std::fflush(m_out);
}

} // namespace tessra
