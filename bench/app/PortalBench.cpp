// What a Fast run costs in the real main window: Life 256 x 256 shown in TfMain (on
// the offscreen platform, or on X), run at each frame rate against a bare loop of
// steps, and one refresh taken apart: drawWorld (the model colours the world image),
// the portal's repaint (the world image scaled onto the window and put on screen),
// and the status panels (tick, frame-rate and tick-rate texts and their repaint).
//
// Prints ratios run / bare loop (targets: Fast >= 0.40, Slow and Medium >= 0.95), the
// share of the run's wall time the window thread was working (the rest it waited: for
// Qt's painting threads, or for a processor other programs were using), and
// microseconds of thread processor time per piece of a refresh.
#include "Core.h"
#include "Dialogs.h"
#include "FrontEnd.h"
#include "PortalView.h"
#include "StatusBar.h"
#include "TfMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace tessra {
namespace {

double threadSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

/// Message boxes go to the standard error output; nobody is there to answer.
class QuietDialogs : public Dialogs {
public:
    void message(QWidget*, const QString& caption, const QString& text, QMessageBox::Icon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return true; }
    QString chooseModelFile(QWidget*, const QString&) override { return {}; }
};

/// The main window at its first-start size showing Life at `size` x `size` at a zoom code
/// (-1 stretched to the window).
class Window {
public:
    explicit Window(int size, int zoomCode = -1)
    {
        QDir::setCurrent(m_folder.path());
        QFile::copy(
            QString(TESSRA_BINARY_DIR) + "/models/life/model.so", m_folder.filePath("model.so"));
        QFile settings(m_folder.filePath("default.ini"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(
                QString("[Parameters]\nWidth=%1\nHeight=%1\nDensity=0.3\n").arg(size).toUtf8());
        settings.close();
        m_window = std::make_unique<TfMain>(m_core, QStringList(), false, m_dialogs);
        m_window->show();
        QElapsedTimer clock;
        clock.start();
        while (!m_window->isStartupDone() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        m_window->resize(491, 347);
        m_window->portal().setZoomCode(zoomCode);
        QCoreApplication::processEvents();
    }
    FrontEnd& frontEnd() { return m_core.frontEnd(); }
    TfMain& main() { return *m_window; }

    double bareTicksPerSecond(double seconds)
    {
        frontEnd().newSimulation(QString());
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        const double start = m_core.model().simTime();
        double time = start;
        while (clock.nsecsElapsed() < seconds * 1e9)
            time = m_core.model().timestep();
        return (time - start) / (clock.nsecsElapsed() * 1e-9);
    }

    double runTicksPerSecond(int frameRate, double seconds)
    {
        frontEnd().newSimulation(QString());
        frontEnd().setFrameRate(frameRate);
        QCoreApplication::processEvents();
        QTimer::singleShot(
            static_cast<int>(seconds * 1000), &frontEnd(), [this] { frontEnd().requestPause(); });
        QElapsedTimer clock;
        clock.start();
        const double cpu = threadSeconds();
        const double start = m_core.model().simTime();
        frontEnd().Run1Click();
        frontEnd().waitWhileRunning();
        runBusy = (threadSeconds() - cpu) / (clock.nsecsElapsed() * 1e-9);
        return (m_core.model().simTime() - start) / (clock.nsecsElapsed() * 1e-9);
    }

    /// The share of the last run's time this thread spent working.
    double runBusy = 0;

private:
    QTemporaryDir m_folder;
    Core m_core;
    QuietDialogs m_dialogs;
    std::unique_ptr<TfMain> m_window;
};

constexpr double Seconds = 1.0;
constexpr int Rounds = 3;

// The bare loop and the run alternate; the best of each is compared, so that other
// load on the machine does not decide the ratio.
void BM_WindowLifeRun256(benchmark::State& state)
{
    const int zoomCode = static_cast<int>(state.range(1));
    Window window(256, zoomCode);
    const int frameRate = static_cast<int>(state.range(0));
    double bare = 0;
    double run = 0;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            bare = std::max(bare, window.bareTicksPerSecond(Seconds));
            run = std::max(run, window.runTicksPerSecond(frameRate, Seconds));
        }
    }
    state.counters["ratio"] = run / bare;
    static const char* names[] = { "Slow", "Medium", "Fast" };
    const QSize portal = window.main().portal().size();
    std::printf("window life 256x256 on a %dx%d portal %-6s: run %.0f ticks/s, bare loop %.0f "
                "ticks/s, ratio %.3f (busy %.0f%% of the run)\n",
        portal.width(), portal.height(), names[frameRate], run, bare, run / bare,
        window.runBusy * 100);
}
// Stretched (the first-start window), and at 200% (a portal larger than its scroll box).
BENCHMARK(BM_WindowLifeRun256)
    ->Args({ 0, -1 })
    ->Args({ 1, -1 })
    ->Args({ 2, -1 })
    ->Args({ 2, 2 })
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

/// Thread processor time of `piece` in microseconds, the best of `times` calls, each
/// after a step of the model (so the world has changed).
double bestMicroseconds(Window& window, int times, const std::function<void()>& piece)
{
    double best = 1e9;
    for (int i = 0; i < times; ++i) {
        window.frontEnd().sbStepClick();
        QCoreApplication::processEvents();
        const double start = threadSeconds();
        piece();
        best = std::min(best, (threadSeconds() - start) * 1e6);
    }
    return best;
}

// One Fast refresh of Life 256 x 256 taken apart.
void BM_FastRefreshPieces(benchmark::State& state)
{
    Window window(256);
    FrontEnd& f = window.frontEnd();
    double draw = 0, portal = 0, render = 0, status = 0, refresh = 0, step = 0;
    int tick = 0;
    for (auto _ : state) {
        step = bestMicroseconds(window, 50, [&] { f.sbStepClick(); });
        draw = bestMicroseconds(window, 50, [&] { f.drawWorld(); });
        portal = bestMicroseconds(window, 50, [&] { window.main().portal().repaint(); });
        QImage target(window.main().portal().size(), QImage::Format_RGB32);
        render = bestMicroseconds(window, 50, [&] { window.main().portal().render(&target); });
        status = bestMicroseconds(window, 50, [&] {
            StatusBar& bar = window.main().statusPanels();
            ++tick;
            bar.setPanelText(StatusBar::Tick, QString("Tick %1").arg(tick));
            bar.setPanelText(StatusBar::FrameRate, QString("%1 fps").arg(1000 + tick % 7));
            bar.setPanelText(StatusBar::TickRate, QString("%1 tps").arg(1000 + tick % 5));
            bar.repaint();
        });
        refresh = bestMicroseconds(window, 50, [&] {
            f.atRefreshTimer();
            QCoreApplication::processEvents();
        });
    }
    const QSize portalSize = window.main().portal().size();
    std::printf("portal %dx%d, window %dx%d\n", portalSize.width(), portalSize.height(),
        window.main().width(), window.main().height());
    state.counters["draw_us"] = draw;
    state.counters["portal_us"] = portal;
    state.counters["status_us"] = status;
    state.counters["portal_paint_us"] = render;
    state.counters["refresh_us"] = refresh;
    std::printf("window life 256x256 refresh pieces (thread CPU, best of 50): drawWorld %.0f us, "
                "portal repaint %.0f us (its painting alone %.0f us), status panels %.0f us; "
                "whole refresh with its paint %.0f us; a Step command %.0f us\n",
        draw, portal, render, status, refresh, step);
}
BENCHMARK(BM_FastRefreshPieces)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tessra

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tessra"));
    QApplication::setApplicationName(QStringLiteral("TessraBench"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
