// Movies of a run, seen from the window thread: the cost of one recorded frame of a
// 256 x 256 Life world (colouring the world from the model, copying the frame and
// handing it to the writer's thread), and a Life 256 x 256 run at Slow recording
// every tick against the same run without recording.
//
// Prints the window thread's CPU time per frame (target: copy and hand-off <= 0.5 ms)
// and ticks/s with the ratio of recording to not recording (target >= 0.6), for PNG
// frames and, when ffmpeg is installed, for an MP4 movie. The best of several rounds
// counts, so that other load on the machine does not decide the figures.
#include "Core.h"
#include "FrontEnd.h"
#include "MovieRecorder.h"
#include "WorldPicture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace tessra {
namespace {

/// A front end with Life on a size x size world, in a private folder.
class Bench {
public:
    explicit Bench(int size)
    {
        QDir::setCurrent(m_folder.path());
        QFile settings(m_folder.filePath("size.ini"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(QString("[Parameters]\nWidth=%1\nHeight=%1\n").arg(size).toUtf8());
        settings.close();
        m_core = std::make_unique<Core>();
        frontEnd().setStartupSettingsFile(settings.fileName());
        if (!frontEnd().loadModelFile(QString(TESSRA_BINARY_DIR) + "/models/life/model.so"))
            std::fprintf(stderr, "cannot load Life: %s\n", qPrintable(frontEnd().loadModelError()));
    }
    FrontEnd& frontEnd() { return m_core->frontEnd(); }
    MovieRecorder& recorder() { return m_core->movieRecorder(); }
    QString file(const QString& name) const { return m_folder.filePath(name); }

    /// Ticks per second of a run at Slow lasting `seconds`, recording every tick to
    /// `movie` (none when empty). The movie is finished after the clock stops.
    double slowRun(double seconds, const QString& movie)
    {
        frontEnd().newSimulation(QString());
        frontEnd().setFrameRate(0);
        if (!movie.isEmpty()) {
            QDir(file(movie)).removeRecursively();
            QFile::remove(file(movie));
            MovieOptions options;
            options.file = file(movie);
            recorder().start(options);
        }
        QTimer::singleShot(
            static_cast<int>(seconds * 1000), &frontEnd(), [this] { frontEnd().requestPause(); });
        QElapsedTimer clock;
        clock.start();
        const double start = m_core->model().simTime();
        frontEnd().Run1Click();
        frontEnd().waitWhileRunning();
        const double rate = (m_core->model().simTime() - start) / (clock.nsecsElapsed() * 1e-9);
        recorder().stop();
        return rate;
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<Core> m_core;
};

/// CPU time of the calling thread in ns: the window thread's own cost, whatever else
/// the machine's cores are doing meanwhile.
qint64 threadNanoseconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

constexpr int Frames = 200; // fewer than the writer's queue holds: nothing waits
constexpr int Rounds = 3;

/// One recorded frame on the window thread: the whole of stepped() when a frame is due
/// (colouring the world, copying the frame and handing it over, with the writer falling
/// behind as it may), and the copy and the hand-off alone, timed on a MovieWriter fed a
/// coloured world and given time to keep up.
void frameCost(benchmark::State& state, const QString& movie)
{
    Bench bench(256);
    double best = 1e9;
    double bestHandOff = 1e9;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            bench.frontEnd().newSimulation(QString());
            QDir(bench.file(movie)).removeRecursively();
            QFile::remove(bench.file(movie));
            MovieOptions options;
            options.file = bench.file(movie);
            bench.recorder().start(options);
            ModelApi model;
            qint64 total = 0;
            for (int i = 0; i < Frames; ++i) {
                const double time = model.timestep();
                const qint64 start = threadNanoseconds();
                bench.recorder().stepped(time);
                total += threadNanoseconds() - start;
            }
            bench.recorder().stop();
            best = std::min(best, total * 1e-6 / Frames);

            QDir(bench.file(movie)).removeRecursively();
            QFile::remove(bench.file(movie));
            QImage canvas;
            WorldPicture::colourWorld(model, canvas);
            MovieWriter writer(options, canvas.size());
            qint64 handOff = 0;
            for (int i = 0; i < Frames; ++i) {
                const qint64 start = threadNanoseconds();
                writer.write(canvas);
                handOff += threadNanoseconds() - start;
                // Time for the writer to keep up, as it does when frames come every
                // few steps: the buffers it has written are used again.
                QThread::msleep(5);
            }
            writer.finish();
            bestHandOff = std::min(bestHandOff, handOff * 1e-6 / Frames);
        }
    }
    state.counters["ms_per_frame"] = best;
    state.counters["ms_copy_and_handoff"] = bestHandOff;
    std::printf("Life 256x256 %-9s: %.3f ms of the window thread's CPU per recorded frame "
                "(colouring included); copy and hand-off %.3f ms\n",
        qPrintable(movie), best, bestHandOff);
}

void BM_FrameCostPng(benchmark::State& state)
{
    frameCost(state, QStringLiteral("frames"));
}
BENCHMARK(BM_FrameCostPng)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FrameCostMp4(benchmark::State& state)
{
    if (!MovieWriter::ffmpegAvailable()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    frameCost(state, QStringLiteral("movie.mp4"));
}
BENCHMARK(BM_FrameCostMp4)->Iterations(1)->Unit(benchmark::kMillisecond);

/// A Life 256 x 256 run at Slow recording every tick, against the same run without.
void slowRecording(benchmark::State& state, const QString& movie)
{
    Bench bench(256);
    double plain = 0;
    double recording = 0;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            plain = std::max(plain, bench.slowRun(1.0, QString()));
            recording = std::max(recording, bench.slowRun(1.0, movie));
        }
    }
    state.counters["ticks_per_s"] = plain;
    state.counters["recording_ticks_per_s"] = recording;
    state.counters["ratio"] = recording / plain;
    std::printf("Life 256x256 Slow, every tick to %-9s: %.0f ticks/s recording, %.0f ticks/s "
                "not recording, ratio %.3f\n",
        qPrintable(movie), recording, plain, recording / plain);
}

void BM_SlowRunRecordingPng(benchmark::State& state)
{
    slowRecording(state, QStringLiteral("frames"));
}
BENCHMARK(BM_SlowRunRecordingPng)->Iterations(1)->Unit(benchmark::kSecond);

void BM_SlowRunRecordingMp4(benchmark::State& state)
{
    if (!MovieWriter::ffmpegAvailable()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    slowRecording(state, QStringLiteral("movie.mp4"));
}
BENCHMARK(BM_SlowRunRecordingMp4)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace tessra

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
