// The main window on the offscreen platform: command line, first show, failed loads,
// menus and tool bar, portal, status bar, Space key, closing, display settings.
#include "AppTestSupport.h"
#include "CommandError.h"
#include "Core.h"
#include "DisplaySettings.h"
#include "FrontEnd.h"
#include "PortalView.h"
#include "StatusBar.h"
#include "TfMain.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace tessra {
namespace {

using test::CallLog;
using test::RecordingDialogs;
using test::waitUntil;
using test::WorkFolder;

void clearDisplaySettings()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tessra", "Tessra").clear();
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { clearDisplaySettings(); }

    /// A main window over the work folder (where ./model.so is looked for).
    std::unique_ptr<TfMain> makeWindow(const QStringList& arguments = {}, bool automated = false)
    {
        return std::make_unique<TfMain>(m_core, arguments, automated, m_dialogs);
    }
    /// Shows the window and waits for the first model load to finish.
    std::unique_ptr<TfMain> startWindow(bool automated = false)
    {
        auto window = makeWindow({}, automated);
        window->show();
        EXPECT_TRUE(waitUntil([&] { return window->isStartupDone(); }));
        return window;
    }
    template <class T> T* child(TfMain& window, const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* action(TfMain& window, const char* name) { return child<QAction>(window, name); }
    /// Copies the Life example (model.so, default.ini) into the work folder.
    void copyLife()
    {
        const QDir life(QString::fromStdString(test::exampleFolder("life")));
        for (const char* name : { "model.so", "default.ini" })
            ASSERT_TRUE(QFile::copy(life.filePath(name), m_folder.file(name)));
    }

    WorkFolder m_folder;
    Core m_core;
    RecordingDialogs m_dialogs;
};

struct UsageCase {
    QStringList arguments;
    bool usage;
};

class UsageBoxTest : public MainWindowTest, public ::testing::WithParamInterface<UsageCase> { };

TEST_P(UsageBoxTest, shows_the_usage_box_for_help_and_unknown_switches)
{
    auto window = makeWindow(GetParam().arguments);
    if (!GetParam().usage) {
        EXPECT_TRUE(m_dialogs.messages.empty());
        return;
    }
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].caption, "Tessra");
    EXPECT_EQ(m_dialogs.messages[0].text,
        "Usage:\n\t" + QCoreApplication::applicationFilePath()
            + "[/[un]regserver] [settingsFile.ini]");
    EXPECT_EQ(m_dialogs.messages[0].icon, QMessageBox::NoIcon);
}

INSTANTIATE_TEST_SUITE_P(Switches, UsageBoxTest,
    ::testing::Values(UsageCase { { "/HELP" }, true }, UsageCase { { "-?" }, true },
        UsageCase { { "/Help" }, true }, UsageCase { { "/AutoMation" }, false },
        UsageCase { { "a.ini" }, false }, UsageCase { {}, false }));

TEST_F(MainWindowTest, two_file_names_give_the_usage_box_and_keep_the_first)
{
    auto window = makeWindow({ "a.ini", "b.ini" });
    EXPECT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_core.frontEnd().startupSettingsFile(), "a.ini");
}

TEST_F(MainWindowTest, layout_menus_and_tool_bar)
{
    auto window = makeWindow({}, true);
    EXPECT_EQ(window->windowTitle(), "Tessra");
    EXPECT_EQ(window->size(), QSize(491, 347));
    EXPECT_EQ(window->minimumSize(), QSize(396, 110));
    const char* buttons[][3] = { { "sbNew", "New", "New Simulation" },
        { "sbLoad", "Load", "Load Parameters" }, { "sbRun", "Run", "Run Simulation" },
        { "sbPause", "Pause", "Pause Simulation" }, { "sbStep", "Step", "Step Simulation" },
        { "sbInspect", "Sites", "Inspect Sites" }, { "sbTimeSeries", "Series", "Time Series" } };
    for (const auto& b : buttons) {
        auto* button = child<QToolButton>(*window, b[0]);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), b[1]);
        EXPECT_EQ(button->toolTip(), b[2]);
        EXPECT_EQ(button->size(), QSize(48, 48));
        EXPECT_FALSE(button->icon().isNull()) << b[0];
    }
    EXPECT_TRUE(child<QToolButton>(*window, "sbInspect")->isCheckable());
    auto* slider = child<QSlider>(*window, "tbFrameRate");
    EXPECT_EQ(slider->width(), 48);
    EXPECT_EQ(slider->maximum(), 2);
    EXPECT_EQ(child<QLabel>(*window, "lFrames")->text(), "Frames");

    // A menu item and its tool button are one command.
    EXPECT_EQ(child<QToolButton>(*window, "sbRun")->defaultAction(), action(*window, "Run1"));
    EXPECT_EQ(action(*window, "Run1")->text(), "&Run");
    EXPECT_EQ(action(*window, "Run1")->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_EQ(action(*window, "Pause1")->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_EQ(action(*window, "Step1")->shortcuts(),
        QList<QKeySequence>({ QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return) }));
    EXPECT_EQ(action(*window, "Exit1")->shortcut(), QKeySequence("Ctrl+X"));
    EXPECT_EQ(action(*window, "Load1")->shortcut(), QKeySequence("Ctrl+L"));
    EXPECT_EQ(action(*window, "Save1")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(action(*window, "mFramerateUp")->shortcut(), QKeySequence(Qt::Key_PageUp));
    EXPECT_EQ(action(*window, "mModelHelp")->shortcut(), QKeySequence("Shift+F1"));
    EXPECT_EQ(action(*window, "Inspect1")->shortcut(), QKeySequence("I"));
    EXPECT_TRUE(action(*window, "Stretch1")->isChecked());
    EXPECT_FALSE(action(*window, "Run1")->isEnabled());
    EXPECT_FALSE(action(*window, "Pause1")->isEnabled());

    QStringList items;
    for (QAction* menu : window->menuBar()->actions()) {
        items << menu->text();
        for (QAction* item : menu->menu()->actions())
            items << (item->isSeparator() ? QString("-") : "  " + item->text().section('\t', 0, 0));
    }
    const QStringList expected { "&File", "  Load &Model...", "-", "  &Load Parameters...",
        "  &Save Parameters...", "  Save Parameters &As...", "-", "  Save &World Picture...", "-",
        "  E&xit", "&View", "  &Portal", "  Increase Framerate", "  Decrease Framerate", "-",
        "  &Inspect Sites", "  Time Series", "&Simulation", "  &New", "  &Run", "  &Pause",
        "  &Step", "-", "  Stop &Conditions...", "  Record &Movie...", "&Help", "  Tessra Help",
        "  Model Help", "-", "  About Tessra", "  About the Model" };
    EXPECT_EQ(items, expected);
    QStringList zooms;
    for (QAction* item : child<QMenu>(*window, "mPortal")->actions())
        zooms << item->text();
    EXPECT_EQ(zooms,
        QStringList(
            { "&Stretch", "Zoom &50%", "Zoom &100%", "Zoom &200%", "Zoom &400%", "Zoom &800%" }));

    window->show(); // the tool bar is laid out left to right
    ASSERT_TRUE(waitUntil([&] { return window->isStartupDone(); }));
    int left = -1;
    for (const auto& b : buttons) {
        auto* button = child<QToolButton>(*window, b[0]);
        EXPECT_GT(button->x(), left) << b[0];
        left = button->x();
    }
    EXPECT_EQ(child<QWidget>(*window, "pToolBar")->height(), 52);
}

// The shortcut a menu shows beside an item: the text after a tab in the item's text,
// else the name of its first shortcut.
QString shownShortcut(const QAction* item)
{
    const qsizetype tab = item->text().indexOf(u'\t');
    return tab >= 0 ? item->text().mid(tab + 1)
                    : item->shortcut().toString(QKeySequence::NativeText);
}

TEST_F(MainWindowTest, menus_show_enter_and_pgdn_and_both_enter_keys_step)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    EXPECT_EQ(shownShortcut(action(*window, "Step1")), "Enter");
    EXPECT_EQ(shownShortcut(action(*window, "mFramerateDown")), "PgDn");

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(m_core.model().simTime(), 2.0);
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_EQ(m_core.frontEnd().frameRate(), 0);
}

TEST_F(MainWindowTest, first_show_loads_the_model_in_the_current_folder)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    EXPECT_TRUE(m_dialogs.messages.empty());
    EXPECT_EQ(window->windowTitle(), "Tessra: Call Log");
    EXPECT_EQ(action(*window, "mModelHelp")->text(), "Call Log Help");
    EXPECT_EQ(action(*window, "mAboutModel")->text(), "About Call Log");
    EXPECT_TRUE(action(*window, "Run1")->isEnabled());
    EXPECT_TRUE(action(*window, "Step1")->isEnabled());
    EXPECT_FALSE(action(*window, "Pause1")->isEnabled());
    EXPECT_EQ(window->statusPanels().panelText(StatusBar::Message), "Ready");
    EXPECT_EQ(window->statusPanels().panelText(StatusBar::Tick), "Tick 0");
    EXPECT_LT(window->minimumHeight(), window->height());
    EXPECT_EQ(window->minimumHeight(),
        window->height() - child<QScrollArea>(*window, "sbPortal")->height() + 4);
}

TEST_F(MainWindowTest, failed_first_load_shows_the_error_and_one_model_dialog)
{
    DisplaySettings stored;
    stored.inspectorShown = true;
    stored.timeSeriesShown = true;
    stored.save();
    auto window = startWindow();

    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].caption, "Tessra");
    EXPECT_EQ(m_dialogs.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(m_dialogs.messages[0].text,
        m_core.frontEnd().loadModelError() + "\n\nPlease choose another model.");
    EXPECT_EQ(m_dialogs.modelDialogs, 1);
    for (const char* name : { "Run1", "Step1", "New1", "Load1", "Save1", "SaveAs1", "Inspect1",
             "mTimeSeries", "mStopConditions", "mModelHelp", "mAboutModel", "Pause1" })
        EXPECT_FALSE(action(*window, name)->isEnabled()) << name;
    for (const char* name : { "mLoadModel", "Exit1" })
        EXPECT_TRUE(action(*window, name)->isEnabled()) << name;
    EXPECT_FALSE(action(*window, "Inspect1")->isChecked());
    EXPECT_FALSE(action(*window, "mTimeSeries")->isChecked());
    EXPECT_FALSE(child<QToolButton>(*window, "sbInspect")->isChecked());
    EXPECT_EQ(action(*window, "mModelHelp")->text(), "Model Help");
    EXPECT_EQ(window->statusPanels().panelText(StatusBar::Message), "No model loaded.");
}

TEST_F(MainWindowTest, a_window_made_after_a_load_shows_the_commands_of_the_run_state)
{
    ASSERT_TRUE(m_core.frontEnd().loadModelFile(m_folder.copyFixture("calllog")));
    ASSERT_TRUE(m_core.frontEnd().Run1Click());
    auto window = makeWindow(); // not shown: no load of its own
    for (const char* name : { "Pause1", "New1", "Load1", "Save1", "SaveAs1", "mModelHelp" })
        EXPECT_TRUE(action(*window, name)->isEnabled()) << name;
    for (const char* name : { "Run1", "Step1" })
        EXPECT_FALSE(action(*window, name)->isEnabled()) << name;
    m_core.frontEnd().pauseAndWait();
    EXPECT_TRUE(action(*window, "Run1")->isEnabled());
    EXPECT_TRUE(action(*window, "Step1")->isEnabled());
    EXPECT_FALSE(action(*window, "Pause1")->isEnabled());
}

TEST_F(MainWindowTest, failed_first_load_offers_a_model_that_loads)
{
    m_dialogs.modelToChoose = QString::fromStdString(test::fixtureModel("calllog"));
    auto window = startWindow();
    EXPECT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_TRUE(m_core.frontEnd().isModelLoaded());
    EXPECT_TRUE(action(*window, "Run1")->isEnabled());
}

TEST_F(MainWindowTest, load_model_command_reports_a_model_that_fails)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    m_folder.write("broken.so", "not a library");
    m_dialogs.modelToChoose = m_folder.file("broken.so");
    action(*window, "mLoadModel")->trigger();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, m_core.frontEnd().loadModelError());
    EXPECT_EQ(m_dialogs.messages[0].caption, "Tessra");
    EXPECT_FALSE(action(*window, "Run1")->isEnabled());
    EXPECT_EQ(window->windowTitle(), "Tessra"); // no longer names the model that went
    EXPECT_EQ(window->portal().size(), child<QScrollArea>(*window, "sbPortal")->viewport()->size());

    m_dialogs.modelToChoose.clear(); // cancelled: nothing changes
    action(*window, "mLoadModel")->trigger();
    EXPECT_EQ(m_dialogs.messages.size(), 1u);
}

TEST_F(MainWindowTest, automation_start_shows_nothing_when_the_load_fails)
{
    auto window = startWindow(true);
    EXPECT_TRUE(m_dialogs.messages.empty());
    EXPECT_EQ(m_dialogs.modelDialogs, 0);
    EXPECT_FALSE(m_core.frontEnd().isModelLoaded());
}

TEST_F(MainWindowTest, stored_zoom_400_is_checked_and_applied_at_first_show)
{
    DisplaySettings stored;
    stored.zoomCode = 4;
    stored.frameRatePosition = 2;
    stored.save();
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    EXPECT_TRUE(action(*window, "Zoom400")->isChecked());
    EXPECT_FALSE(action(*window, "Stretch1")->isChecked());
    EXPECT_EQ(window->portal().size(), QSize(12, 20));
    EXPECT_EQ(child<QSlider>(*window, "tbFrameRate")->value(), 2);
    EXPECT_EQ(child<QSlider>(*window, "tbFrameRate")->toolTip(), "Framerate=Fast");
    EXPECT_FALSE(action(*window, "mFramerateUp")->isEnabled());
    EXPECT_TRUE(action(*window, "mFramerateDown")->isEnabled());
}

TEST_F(MainWindowTest, zoom_items_size_the_portal)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    action(*window, "Zoom50")->trigger();
    EXPECT_EQ(window->portal().size(), QSize(1, 2));
    EXPECT_EQ(window->portal().zoomCode(), 0);
    action(*window, "Zoom800")->trigger();
    EXPECT_EQ(window->portal().size(), QSize(24, 40));
    action(*window, "Stretch1")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window->portal().size(), child<QScrollArea>(*window, "sbPortal")->viewport()->size());
    EXPECT_EQ(window->portal().zoomCode(), -1);
}

TEST_F(MainWindowTest, portal_pointer_gives_hints_once_per_site_and_mouse_codes)
{
    const QString path = m_folder.copyFixture("calllog");
    auto window = startWindow();
    action(*window, "Zoom800")->trigger(); // 8 x 8 pixels per site
    const CallLog log(path.toStdString());
    log.reset();
    PortalView& portal = window->portal();
    for (QPoint at : { QPoint(3, 3), QPoint(5, 6), QPoint(7, 7), QPoint(9, 17) }) {
        QMouseEvent move(QEvent::MouseMove, at, portal.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
            Qt::NoModifier);
        QApplication::sendEvent(&portal, &move);
    }
    EXPECT_EQ(log.count("hint"), 2);
    EXPECT_EQ(log.lines().back(), "hint 1 2");
    EXPECT_EQ(portal.toolTip(), "site 1 2");

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(17, 33),
        portal.mapToGlobal(QPointF(17, 33)), Qt::RightButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(&portal, &release);
    const std::vector<std::string> lines = log.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "mouseUp 16 2 4 12");
}

TEST_F(MainWindowTest, a_click_on_a_site_redraws_it_and_asks_its_hint_again)
{
    copyLife();
    auto window = startWindow();
    action(*window, "Zoom800")->trigger();
    PortalView& portal = window->portal();
    const QPoint at(12, 12); // site (1, 1)
    const auto shown = [&] { return portal.grab(QRect(8, 8, 8, 8)).toImage().pixelColor(4, 4); };
    QMouseEvent move(
        QEvent::MouseMove, at, portal.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&portal, &move);
    const QString hint = portal.toolTip();
    ASSERT_TRUE(hint.startsWith("(1, 1) ")) << hint.toStdString();
    const QColor before = shown();

    // Life toggles the cell; paused, the portal and the hint show it at once.
    QTest::mouseClick(&portal, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(m_core.model().simTime(), 0.0);
    EXPECT_NE(shown(), before);
    EXPECT_NE(portal.toolTip(), hint);
    EXPECT_EQ(portal.toolTip().endsWith("dead"), !hint.endsWith("dead")) << hint.toStdString();
}

TEST_F(MainWindowTest, automation_start_up_logs_what_it_would_show_and_goes_on)
{
    copyLife();
    m_folder.write("run.ini",
        "[Parameters]\nWidth=16\nHeight=16\n"
        "[Time Series]\nCount=2\n0=Average Alive\n1=Average Alive\n");
    Windows windows(m_core, { "/automation", "/nonsense", "run.ini" }, true, m_dialogs);
    windows.main().show();
    ASSERT_TRUE(waitUntil([&] { return windows.main().isStartupDone(); }));
    EXPECT_TRUE(m_dialogs.messages.empty());
    EXPECT_TRUE(m_core.frontEnd().isModelLoaded());
    EXPECT_EQ(m_core.frontEnd().worldSize(), QSize(16, 16));
    EXPECT_EQ(m_core.debugLog().lines(),
        QStringList({ "Usage:",
            "\t" + QCoreApplication::applicationFilePath() + "[/[un]regserver] [settingsFile.ini]",
            "Operation/state pair already being plotted." }));
}

TEST_F(MainWindowTest, portal_paints_every_site_as_a_sharp_block)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    action(*window, "Zoom800")->trigger();
    const QImage shown = window->portal().grab().toImage();
    ASSERT_EQ(shown.size(), QSize(24, 40));
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QColor site(50 * column, 50 * row, 100);
            for (QPoint inside : { QPoint(0, 0), QPoint(7, 7), QPoint(3, 5) })
                EXPECT_EQ(shown.pixelColor(QPoint(8 * column, 8 * row) + inside), site)
                    << column << "," << row;
        }
    }
    action(*window, "Stretch1")->trigger();
    window->resize(600, 500);
    QApplication::processEvents();
    const QImage stretched = window->portal().grab().toImage();
    EXPECT_EQ(
        stretched.pixelColor(stretched.width() - 1, stretched.height() - 1), QColor(100, 200, 100));
    EXPECT_EQ(stretched.pixelColor(0, 0), QColor(0, 0, 100));
}

/// The world image drawn over a portal of `size` as the portal always drew it: scaled
/// by QPainter, nearest neighbour.
QImage scaledWorld(const QImage& world, QSize size)
{
    QImage expected(size, QImage::Format_RGB32);
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(expected.rect()), world, QRectF(world.rect()));
    return expected;
}

TEST_F(MainWindowTest, portal_on_screen_follows_the_world_step_by_step)
{
    copyLife();
    m_folder.write("default.ini", "[Parameters]\nWidth=70\nHeight=45\nDensity=0.2\n");
    auto window = startWindow();
    ASSERT_EQ(m_core.frontEnd().worldSize(), QSize(70, 45));
    PortalView& portal = window->portal();
    // What the screen shows of the portal: the window's own pixels, painted only where
    // something changed since the last paint.
    const auto onScreen = [&] {
        const QPoint at = portal.mapTo(window.get(), QPoint(0, 0));
        return window->screen()
            ->grabWindow(window->winId(), at.x(), at.y(), portal.width(), portal.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    for (const char* zoom : { "Stretch1", "Zoom50", "Zoom200" }) {
        SCOPED_TRACE(zoom);
        action(*window, zoom)->trigger();
        window->resize(503, 389);
        for (int step = 0; step < 12; ++step) {
            m_core.frontEnd().sbStepClick();
            if (step == 5) // a click changes one site only
                m_core.frontEnd().releaseOnSite(8, 33, 20, 0);
            QApplication::processEvents();
            ASSERT_EQ(onScreen(), scaledWorld(m_core.frontEnd().worldImage(), portal.size()))
                << "step " << step;
        }
    }
    // Paused, a click changes one site: only the portal rows showing its row are painted.
    struct PaintedRegion : QObject {
        QRegion region;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                region += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } painted;
    portal.installEventFilter(&painted);
    m_core.frontEnd().releaseOnSite(8, 10, 30, 0);
    QApplication::processEvents();
    EXPECT_EQ(painted.region, QRegion(PortalView::rowsOnPortal(30, 31, 45, portal.size())));
    EXPECT_EQ(onScreen(), scaledWorld(m_core.frontEnd().worldImage(), portal.size()));

    // A Fast run repaints at most once a screen frame: the world and the texts it stopped
    // at still reach the screen.
    m_core.frontEnd().setFrameRate(2);
    const double start = m_core.model().simTime();
    action(*window, "Run1")->trigger();
    ASSERT_TRUE(waitUntil([&] { return m_core.model().simTime() >= start + 40; }));
    action(*window, "Pause1")->trigger();
    m_core.frontEnd().waitWhileRunning();
    EXPECT_TRUE(waitUntil(
        [&] { return onScreen() == scaledWorld(m_core.frontEnd().worldImage(), portal.size()); },
        2000));
    StatusBar& status = window->statusPanels();
    const auto statusOnScreen = [&] {
        const QPoint at = status.mapTo(window.get(), QPoint(0, 0));
        return window->screen()
            ->grabWindow(window->winId(), at.x(), at.y(), status.width(), status.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_TRUE(waitUntil(
        [&] {
            return statusOnScreen()
                == status.grab().toImage().convertToFormat(QImage::Format_RGB32);
        },
        2000));
    EXPECT_EQ(
        status.panelText(StatusBar::Tick), "Tick " + QString::number(m_core.model().simTime()));
}

TEST_F(MainWindowTest, runs_life_in_the_window)
{
    copyLife();
    auto window = startWindow();
    ASSERT_TRUE(m_core.frontEnd().isModelLoaded());
    EXPECT_EQ(window->windowTitle(), "Tessra: Life");
    action(*window, "Zoom200")->trigger();
    window->resize(560, 420);
    action(*window, "Run1")->trigger();
    ASSERT_TRUE(waitUntil([&] { return m_core.model().simTime() >= 30; }));
    action(*window, "Pause1")->trigger();
    m_core.frontEnd().waitWhileRunning();
    QApplication::processEvents();
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(window->statusPanels().panelText(StatusBar::Message), "Paused");
    // Where a picture of the running program is wanted (documentation), keep one.
    const QString keep = qEnvironmentVariable("TESSRA_SCREENSHOT");
    if (!keep.isEmpty())
        shot.save(keep);
    const QImage world = m_core.frontEnd().worldImage();
    int alive = 0;
    for (int y = 0; y < world.height(); ++y)
        for (int x = 0; x < world.width(); ++x)
            alive += world.pixel(x, y) != world.pixel(0, 0) ? 1 : 0;
    EXPECT_GT(alive, 0);
}

TEST_F(MainWindowTest, status_bar_panels_and_hints)
{
    auto window = makeWindow();
    StatusBar& status = window->statusPanels();
    // Tick 5h, rates 3h or as wide as their texts need, the message panel the rest.
    EXPECT_EQ(StatusBar::panelWidths(20, 500), (std::array<int, 4> { 260, 100, 60, 60 }));
    EXPECT_EQ(StatusBar::panelWidths(20, 500, 90, 50), (std::array<int, 4> { 230, 100, 90, 60 }));
    status.resize(500, 20);
    const auto widths = status.panelWidths();
    EXPECT_EQ(widths[0] + widths[1] + widths[2] + widths[3], 480);
    EXPECT_EQ(status.panelAt(0), StatusBar::Message);
    EXPECT_EQ(status.panelAt(widths[0] - 1), StatusBar::Message);
    EXPECT_EQ(status.panelAt(widths[0]), StatusBar::Tick);
    EXPECT_EQ(status.panelAt(widths[0] + widths[1]), StatusBar::FrameRate);
    EXPECT_EQ(status.panelAt(480 - widths[3]), StatusBar::TickRate);
    EXPECT_EQ(status.panelAt(1000), StatusBar::TickRate);
    EXPECT_EQ(status.panelHint(StatusBar::Tick), "Simulation time\n(ticks)");
    EXPECT_EQ(status.panelHint(StatusBar::FrameRate), "Framerate\n(frames per second/minute)");
    EXPECT_EQ(status.panelHint(StatusBar::TickRate), "Tickrate\n(ticks per second/minute)");
    m_core.frontEnd().setStatusText("Running");
    EXPECT_EQ(status.panelHint(StatusBar::Message), "Running");
    EXPECT_EQ(status.panelText(StatusBar::FrameRate), "0 fps");
    EXPECT_EQ(status.panelText(StatusBar::TickRate), "0 tps");
}

TEST_F(MainWindowTest, rate_panels_show_every_digit_of_a_seven_digit_rate)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow(); // at its first size and the default font
    StatusBar& status = window->statusPanels();
    status.setPanelText(StatusBar::TickRate, "6822400 tps");
    status.setPanelText(StatusBar::FrameRate, "1234567 fps");
    EXPECT_EQ(status.shownText(StatusBar::TickRate), "6822400 tps");
    EXPECT_EQ(status.shownText(StatusBar::FrameRate), "1234567 fps");
    const auto widths = status.panelWidths();
    EXPECT_GE(widths[2], 3 * status.height());
    EXPECT_GE(widths[3], 3 * status.height());
    EXPECT_EQ(widths[1], 5 * status.height());

    // A longer text widens its panel for good; the message panel gives the room.
    status.setPanelText(StatusBar::TickRate, "1234567890123 tps");
    EXPECT_EQ(status.shownText(StatusBar::TickRate), "1234567890123 tps");
    status.setPanelText(StatusBar::TickRate, "5 tps");
    EXPECT_GT(status.panelWidths()[3], widths[3]);
}

TEST_F(MainWindowTest, collapse_toggle_returns_to_the_remembered_height)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    const int minimum = window->minimumHeight();
    window->sbStatusDblClick(); // collapse
    QApplication::processEvents();
    EXPECT_EQ(window->height(), minimum);
    EXPECT_EQ(window->collapseHeight(), 347);
    // The tool and status bars keep their full height over a 4-pixel strip of portal.
    EXPECT_EQ(child<QWidget>(*window, "pToolBar")->height(), 52);
    EXPECT_EQ(child<QScrollArea>(*window, "sbPortal")->height(), 4);
    EXPECT_EQ(window->statusPanels().height(), window->statusPanels().sizeHint().height());
    EXPECT_TRUE(child<QLabel>(*window, "lFrames")->isVisible());
    window->sbStatusDblClick(); // back to the remembered height
    QApplication::processEvents();
    EXPECT_EQ(window->height(), 347);
    EXPECT_EQ(window->collapseHeight(), minimum);
}

TEST_F(MainWindowTest, started_collapsed_the_window_expands_to_the_remembered_height)
{
    m_folder.copyFixture("calllog");
    int collapsed = 0;
    {
        auto window = startWindow();
        window->resize(window->width(), 400);
        QApplication::processEvents();
        window->sbStatusDblClick();
        QApplication::processEvents();
        collapsed = window->height();
        window->close(); // stores the collapsed placement and the height to go back to
    }
    auto window = startWindow();
    QApplication::processEvents();
    EXPECT_EQ(window->minimumHeight(), collapsed);
    EXPECT_EQ(window->height(), collapsed);
    EXPECT_EQ(child<QWidget>(*window, "pToolBar")->height(), 52);
    EXPECT_EQ(child<QScrollArea>(*window, "sbPortal")->height(), 4);
    window->sbStatusDblClick();
    QApplication::processEvents();
    EXPECT_EQ(window->height(), 400);
    window->sbStatusDblClick();
    QApplication::processEvents();
    EXPECT_EQ(window->height(), collapsed);
}

TEST_F(MainWindowTest, collapse_toggle_from_a_never_expanded_window)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    window->resize(window->width(), window->minimumHeight()); // shrunk by hand
    QApplication::processEvents();
    ASSERT_EQ(window->collapseHeight(), 0);
    QTest::mouseDClick(&window->statusPanels(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(window->height(), window->minimumHeight() + 100);
}

TEST_F(MainWindowTest, minimal_ui_collapses_the_window)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    m_core.frontEnd().showMinimalUi();
    QApplication::processEvents();
    EXPECT_EQ(window->height(), window->minimumHeight());
    EXPECT_EQ(child<QSlider>(*window, "tbFrameRate")->value(), 0);
}

TEST_F(MainWindowTest, space_toggles_the_run_while_the_main_window_is_active)
{
    m_folder.copyFixture("calllog");
    auto window = startWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(child<QSlider>(*window, "tbFrameRate"), Qt::Key_Space);
    EXPECT_EQ(m_core.frontEnd().runState(), FrontEnd::RunState::Running);
    EXPECT_FALSE(action(*window, "Run1")->isEnabled());
    EXPECT_TRUE(action(*window, "Pause1")->isEnabled());
    EXPECT_FALSE(child<QToolButton>(*window, "sbStep")->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_EQ(m_core.frontEnd().statusText(), "Pausing...");
    m_core.frontEnd().waitWhileRunning();
    EXPECT_EQ(window->statusPanels().panelText(StatusBar::Message), "Paused");
    EXPECT_TRUE(action(*window, "Run1")->isEnabled());
}

TEST_F(MainWindowTest, failing_command_shows_the_standard_error_display)
{
    auto window = makeWindow();
    window->guarded([] { throw CommandError("Cannot open file\n/x/help/index.html"); });
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, "Cannot open file\n/x/help/index.html.");
    EXPECT_EQ(m_dialogs.messages[0].caption, m_core.frontEnd().applicationTitle());
    EXPECT_EQ(m_dialogs.messages[0].icon, QMessageBox::Critical);
}

TEST_F(MainWindowTest, new_command_asks_the_dialog_first)
{
    const QString path = m_folder.copyFixture("calllog");
    auto window = startWindow();
    const CallLog log(path.toStdString());
    log.reset();
    int asked = 0;
    bool answer = false;
    window->setNewSimulationDialog([&](QWidget*) {
        ++asked;
        return answer;
    });
    action(*window, "New1")->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(log.count("init"), 0);
    answer = true;
    action(*window, "New1")->trigger();
    EXPECT_EQ(log.count("init"), 1);
}

TEST_F(MainWindowTest, exit_in_automation_asks_first_and_no_keeps_the_world)
{
    const QString path = m_folder.copyFixture("calllog");
    auto window = startWindow(true);
    const CallLog log(path.toStdString());
    log.reset();
    m_dialogs.answerYes = false;
    action(*window, "Exit1")->trigger();
    ASSERT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_EQ(m_dialogs.questions[0].text,
        "Tessra is currently automated. Are you sure you want to exit? ");
    EXPECT_EQ(m_dialogs.questions[0].caption, "Tessra");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(log.count("cleanup"), 0);

    m_dialogs.answerYes = true;
    action(*window, "Exit1")->trigger();
    EXPECT_EQ(m_dialogs.questions.size(), 2u); // asked once per attempt
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(log.lines().back(), "cleanup");
}

TEST_F(MainWindowTest, closing_without_automation_never_asks)
{
    auto window = startWindow();
    window->close();
    EXPECT_TRUE(m_dialogs.questions.empty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, closing_saves_the_display_settings_for_the_next_start)
{
    m_folder.copyFixture("calllog");
    {
        auto window = startWindow();
        action(*window, "Zoom200")->trigger();
        action(*window, "mFramerateDown")->trigger();
        action(*window, "Inspect1")->trigger();
        EXPECT_TRUE(m_core.frontEnd().isInspectorChecked());
        window->close();
    }
    const DisplaySettings stored = DisplaySettings::load();
    EXPECT_EQ(stored.zoomCode, 2);
    EXPECT_EQ(stored.frameRatePosition, 0);
    EXPECT_TRUE(stored.inspectorShown);
    EXPECT_FALSE(stored.timeSeriesShown);
    EXPECT_FALSE(stored.placement.isEmpty());
}

TEST(DisplaySettingsStore, defaults_round_trip_and_bad_values)
{
    clearDisplaySettings();
    const DisplaySettings defaults = DisplaySettings::load();
    EXPECT_EQ(defaults.frameRatePosition, 1);
    EXPECT_EQ(defaults.collapseHeight, 0);
    EXPECT_FALSE(defaults.inspectorShown);
    EXPECT_EQ(defaults.zoomCode, -1);
    EXPECT_FALSE(defaults.timeSeriesShown);
    EXPECT_TRUE(defaults.placement.isEmpty());

    DisplaySettings changed { 0, 420, true, 8, true, QByteArray("xy") };
    changed.save();
    const DisplaySettings read = DisplaySettings::load();
    EXPECT_EQ(read.frameRatePosition, 0);
    EXPECT_EQ(read.collapseHeight, 420);
    EXPECT_TRUE(read.inspectorShown);
    EXPECT_EQ(read.zoomCode, 8);
    EXPECT_TRUE(read.timeSeriesShown);
    EXPECT_EQ(read.placement, QByteArray("xy"));

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Tessra", "Tessra");
    settings.setValue("Display/tbFrameRate.Position", 7);
    settings.setValue("Display/iPortal.Tag", 3);
    settings.setValue("Display/sbStatus.Tag", "tall");
    settings.sync();
    const DisplaySettings bad = DisplaySettings::load();
    EXPECT_EQ(bad.frameRatePosition, 1);
    EXPECT_EQ(bad.zoomCode, -1);
    EXPECT_EQ(bad.collapseHeight, 0);
    clearDisplaySettings();
}

} // namespace
} // namespace tessra
