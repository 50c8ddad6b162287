// Pictures and movies of the world with the real front end and the Life model: the
// automation methods over the program's core, PNG frames at the recorded ticks whatever
// the frame rate, movie files made by ffmpeg and checked with ffprobe, a failing
// encoder, and the main window's menu items and dialogs.
#include "AppTestSupport.h"
#include "AutomationDispatcher.h"
#include "CommandError.h"
#include "Core.h"
#include "FrontEnd.h"
#include "MovieRecorder.h"
#include "StatusBar.h"
#include "StopConditions.h"
#include "TfMain.h"
#include "WorldOutputDialogs.h"
#include "WorldPicture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>

namespace tessra {
namespace {

using test::waitUntil;

class MovieTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            m_core.frontEnd().loadModelFile(QString::fromStdString(test::exampleModel("life"))));
        ASSERT_EQ(m_core.frontEnd().worldSize(), QSize(128, 128));
    }

    FrontEnd& frontEnd() { return m_core.frontEnd(); }
    QString path(const QString& name) const { return m_folder.file(name); }

    /// The world images after `steps` single steps from a new simulation, every `every`
    /// ticks from tick 0 on.
    std::vector<QImage> worldImages(int steps, int every)
    {
        frontEnd().newSimulation(QString());
        std::vector<QImage> images { frontEnd().worldImage().copy() };
        for (int tick = 1; tick <= steps; ++tick) {
            EXPECT_TRUE(frontEnd().sbStepClick());
            if (tick % every == 0)
                images.push_back(frontEnd().worldImage().copy());
        }
        return images;
    }

    test::WorkFolder m_folder;
    Core m_core;
    AutomationDispatcher m_automation { m_core };

    /// The answer (0 or 1) of an automation method.
    int automation(const QString& method, const QVariantList& arguments = {}) const
    {
        const AutomationReply reply = m_automation.invoke(method, true, arguments);
        EXPECT_TRUE(reply.ok()) << reply.error->message.toStdString();
        return reply.value.toInt();
    }
    void stopAtTick(double tick)
    {
        m_core.stopConditions().setEnabled(true);
        ASSERT_TRUE(m_core.stopConditions().addCondition(QStringLiteral("Tick"), +1, tick));
    }
};

QImage loaded(const QString& file)
{
    QImage image(file);
    return image.convertToFormat(QImage::Format_RGB888);
}

TEST_F(MovieTest, a_saved_picture_is_the_world_image_one_pixel_or_one_block_per_site)
{
    for (int tick = 0; tick < 7; ++tick)
        frontEnd().sbStepClick();
    const QImage world = frontEnd().worldImage().copy();
    ASSERT_EQ(automation("SaveWorldPicture", { path("world.png"), 1 }), 1);
    EXPECT_EQ(loaded(path("world.png")), world);

    ASSERT_EQ(automation("SaveWorldPicture", { path("world3.bmp"), 3 }), 1);
    QImage big(path("world3.bmp"), "BMP");
    ASSERT_EQ(big.size(), world.size() * 3);
    big = big.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x)
            ASSERT_EQ(big.pixel(x, y), world.pixel(x / 3, y / 3)) << x << ", " << y;
    }

    // Refused: no folder, a scale out of range; nothing is written.
    EXPECT_EQ(automation("SaveWorldPicture", { path("missing/world.png"), 1 }), 0);
    EXPECT_EQ(automation("SaveWorldPicture", { path("w17.png"), 17 }), 0);
    EXPECT_FALSE(QFile::exists(path("w17.png")));
    EXPECT_THROW(
        WorldPicture::save(frontEnd().worldImage(), path("missing/world.png"), 1), CommandError);
    try {
        WorldPicture::save(frontEnd().worldImage(), path("missing/world.png"), 1);
    } catch (const CommandError& error) {
        const std::string text = error.message().toStdString();
        EXPECT_TRUE(error.message().contains(path("missing/world.png"))) << text;
        EXPECT_TRUE(error.message().contains("No such file or directory")) << text;
    }
}

TEST_F(MovieTest, frames_are_taken_every_k_ticks_at_slow_as_at_fast)
{
    // A run at Slow, stopped by a condition at tick 20, draws the world seldom.
    frontEnd().setFrameRate(0);
    stopAtTick(20);
    ASSERT_EQ(automation("MovieStart", { path("frames"), 5, 1 }), 1);
    EXPECT_EQ(automation("MovieStart", { path("frames"), 5, 1 }), 0); // holds frames now
    ASSERT_EQ(automation("MovieStart", { path("frames2"), 5, 1 }), 1);
    ASSERT_TRUE(frontEnd().Run1Click());
    frontEnd().waitWhileRunning();
    EXPECT_EQ(frontEnd().worldSize(), QSize(128, 128));
    EXPECT_EQ(m_core.model().simTime(), 20.0);
    EXPECT_EQ(automation("MovieStop"), 1);
    EXPECT_EQ(automation("MovieStop"), 0); // nothing records now

    // The same world again, stepped: the world image at ticks 0, 5, 10, 15 and 20.
    m_core.stopConditions().removeAllConditions();
    const std::vector<QImage> expected = worldImages(20, 5);
    const QStringList frames
        = QDir(path("frames2")).entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name);
    ASSERT_EQ(frames.size(), 5) << frames.join(' ').toStdString();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(frames[i], QStringLiteral("frame%1.png").arg(i, 6, 10, QLatin1Char('0')));
        EXPECT_EQ(loaded(QDir(path("frames2")).filePath(frames[i])), expected[std::size_t(i)])
            << "frame " << i;
    }
}

TEST_F(MovieTest, a_new_world_finishes_the_movie)
{
    QSignalSpy changed(&m_core.movieRecorder(), &MovieRecorder::recordingChanged);
    ASSERT_EQ(automation("MovieStart", { path("a"), 1, 2 }), 1);
    frontEnd().sbStepClick();
    frontEnd().newSimulation(QString());
    EXPECT_FALSE(m_core.movieRecorder().isRecording());
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(QDir(path("a")).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(QImage(QDir(path("a")).filePath("frame000001.png")).size(), QSize(256, 256));
}

/// ffprobe's answer for the video stream of `file`: codec,width,height,frames.
QString probe(const QString& file)
{
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"),
        { "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
            "stream=codec_name,width,height,nb_read_frames", "-of", "csv=p=0", file });
    ffprobe.waitForFinished(60000);
    return QString::fromUtf8(ffprobe.readAllStandardOutput()).trimmed();
}

TEST_F(MovieTest, ffmpeg_makes_an_mp4_and_a_gif_of_the_frames)
{
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty()
        || QStandardPaths::findExecutable("ffprobe").isEmpty())
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
    // A movie replaces an older file only once it is complete.
    m_folder.write("life.mp4", "older");
    ASSERT_EQ(automation("MovieStart", { path("life.mp4"), 2, 2 }), 1);
    EXPECT_EQ(QFile(path("life.mp4")).size(), 5);
    for (int i = 0; i < 30; ++i)
        frontEnd().sbStepClick();
    ASSERT_EQ(automation("MovieStop"), 1);
    EXPECT_EQ(probe(path("life.mp4")), "h264,256,256,16");

    ASSERT_EQ(automation("MovieStart", { path("life.gif"), 1, 1 }), 1);
    for (int i = 0; i < 9; ++i)
        frontEnd().sbStepClick();
    ASSERT_EQ(automation("MovieStop"), 1);
    EXPECT_EQ(probe(path("life.gif")), "gif,128,128,10");
    // No temporary file is left beside them.
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

/// A PATH holding only a program named ffmpeg that reads a little and fails.
class FailingEncoder {
public:
    FailingEncoder()
        : m_path(qgetenv("PATH"))
    {
        const QString script = m_dir.filePath("ffmpeg");
        QFile file(script);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("#!/bin/sh\nhead -c 1000 >/dev/null\necho 'Encoder out of order' >&2\n"
                       "exit 1\n");
            file.close();
        }
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ":/usr/bin:/bin");
    }
    ~FailingEncoder() { qputenv("PATH", m_path); }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

TEST_F(MovieTest, a_failing_encoder_ends_the_recording_with_a_message_and_the_run_goes_on)
{
    FailingEncoder encoder;
    QSignalSpy failed(&m_core.movieRecorder(), &MovieRecorder::failed);
    stopAtTick(400);
    ASSERT_EQ(automation("MovieStart", { path("broken.mp4"), 1, 1 }), 1);
    ASSERT_TRUE(frontEnd().Run1Click());
    EXPECT_TRUE(waitUntil([&] { return !failed.isEmpty(); }));
    EXPECT_FALSE(m_core.movieRecorder().isRecording());
    frontEnd().waitWhileRunning();
    EXPECT_EQ(m_core.model().simTime(), 400.0);
    ASSERT_EQ(failed.size(), 1);
    const QString message = failed[0][0].toString();
    EXPECT_TRUE(message.contains(path("broken.mp4"))) << message.toStdString();
    EXPECT_TRUE(message.contains("Encoder out of order")) << message.toStdString();
    EXPECT_FALSE(QFile::exists(path("broken.mp4")));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

// ---- the main window's commands -------------------------------------------------------

class MovieWindowTest : public ::testing::Test {
protected:
    MovieWindowTest()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tessra", "Tessra").clear();
        // Life in the current folder, where the window loads ./model.so first.
        const QFileInfo life(QString::fromStdString(test::exampleModel("life")));
        QFile::copy(life.filePath(), m_folder.file("model.so"));
        QFile::copy(life.dir().filePath("default.ini"), m_folder.file("default.ini"));
        m_window = std::make_unique<TfMain>(m_core, QStringList {}, false, m_dialogs);
        m_window->show();
        EXPECT_TRUE(waitUntil([&] { return m_window->isStartupDone(); }));
    }
    QAction* action(const char* name) { return m_window->findChild<QAction*>(name); }

    test::WorkFolder m_folder;
    Core m_core;
    test::RecordingDialogs m_dialogs;
    std::unique_ptr<TfMain> m_window;
};

/// Runs `answer` on the next dialog of type T that shows.
template <class T> void whenShown(std::function<void(T*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog is still open";
            dialog->reject();
        }
    });
    timer->start(10);
}

TEST_F(MovieWindowTest, menu_items_save_a_picture_and_record_a_movie)
{
    QAction* picture = action("mSaveWorldPicture");
    QAction* movie = action("mRecordMovie");
    ASSERT_TRUE(picture && movie);
    EXPECT_EQ(picture->text(), "Save &World Picture...");
    EXPECT_EQ(picture->shortcut(), QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(movie->text(), "Record &Movie...");
    EXPECT_TRUE(movie->isCheckable());

    // The dialog keeps a name in a missing folder from being taken.
    whenShown<TdWorldPicture>([&](TdWorldPicture* dialog) {
        dialog->findChild<QLineEdit*>("eFile")->setText(m_folder.file("nowhere/w.png"));
        dialog->accept();
        EXPECT_TRUE(dialog->problem().contains("does not exist"))
            << dialog->problem().toStdString();
        dialog->findChild<QLineEdit*>("eFile")->setText(m_folder.file("w.bmp"));
        dialog->findChild<QSpinBox*>("feScale")->setValue(2);
        dialog->accept();
    });
    picture->trigger();
    EXPECT_EQ(QImage(m_folder.file("w.bmp"), "BMP").size(), QSize(256, 256));

    auto* status = m_window->findChild<StatusBar*>();
    ASSERT_NE(status, nullptr);
    whenShown<TdRecordMovie>([&](TdRecordMovie* dialog) {
        auto* format = dialog->findChild<QComboBox*>("cbFormat");
        format->setCurrentIndex(format->findData(int(MovieFormat::PngFrames)));
        dialog->findChild<QLineEdit*>("eFile")->setText(m_folder.file("frames"));
        dialog->findChild<QSpinBox*>("feEvery")->setValue(2);
        dialog->accept();
    });
    movie->trigger();
    EXPECT_TRUE(movie->isChecked());
    EXPECT_EQ(status->panelText(StatusBar::Message), "Recording");
    action("Step1")->trigger();
    action("Step1")->trigger();
    EXPECT_EQ(status->panelText(StatusBar::Message), "Recording");
    movie->trigger(); // unchecks: the movie is finished
    EXPECT_FALSE(movie->isChecked());
    EXPECT_FALSE(m_core.movieRecorder().isRecording());
    EXPECT_EQ(status->panelText(StatusBar::Message), "Advanced one step");
    EXPECT_EQ(QDir(m_folder.file("frames")).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(m_dialogs.messages.empty());
}

TEST_F(MovieWindowTest, without_ffmpeg_on_path_the_dialog_offers_png_frames_only)
{
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", QFile::encodeName(empty.path()));
    QStringList offered;
    QString why;
    whenShown<TdRecordMovie>([&](TdRecordMovie* dialog) {
        auto* format = dialog->findChild<QComboBox*>("cbFormat");
        for (int i = 0; i < format->count(); ++i)
            offered << format->itemText(i);
        if (auto* label = dialog->findChild<QLabel*>("lNoEncoder"))
            why = label->text();
        dialog->reject();
    });
    action("mRecordMovie")->trigger();
    qputenv("PATH", path);
    EXPECT_EQ(offered, QStringList { "PNG frames in a folder" });
    EXPECT_TRUE(why.contains("ffmpeg")) << why.toStdString();
    EXPECT_FALSE(action("mRecordMovie")->isChecked());
}

} // namespace
} // namespace tessra
