// The application object: a failing command that escapes its handler is shown with the
// standard error display and the event loop goes on; the desktop's beep is installed.
#include "AppTestSupport.h"
#include "Beep.h"
#include "CommandError.h"
#include "ProcessPriority.h"
#include "TessraApplication.h"

#include <QEvent>
#include <QTimer>

#include <sys/resource.h>

namespace tessra {
namespace {

/// Fails every event of the user type with the given exception.
class Failing : public QObject {
public:
    explicit Failing(std::function<void()> fail)
        : m_fail(std::move(fail))
    {
    }
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User) {
            ++handled;
            m_fail();
        }
        return QObject::event(event);
    }
    int handled = 0;

private:
    std::function<void()> m_fail;
};

TEST(TessraApplication, failing_commands_show_the_error_box_and_the_loop_goes_on)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "tessra";
    char* argv[] = { name, nullptr };
    TessraApplication app(argc, argv);
    EXPECT_EQ(app.applicationTitle(), "Tessra - a front end for two-dimensional simulation models");
    test::RecordingDialogs dialogs;
    app.setDialogs(&dialogs);
    app.setApplicationTitle("Tessra: Life");

    Failing command([] { throw CommandError("Cannot open file\n/x/help/index.html"); });
    Failing other([] { throw std::runtime_error("out of memory"); });
    QCoreApplication::postEvent(&command, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&other, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&command, new QEvent(QEvent::User));
    QTimer::singleShot(50, &app, &QCoreApplication::quit);
    app.exec();

    EXPECT_EQ(command.handled, 2);
    EXPECT_EQ(other.handled, 1);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "Cannot open file\n/x/help/index.html.");
    EXPECT_EQ(dialogs.messages[0].caption, "Tessra: Life");
    EXPECT_EQ(dialogs.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs.messages[1].text, "out of memory.");

    // The desktop's beep is installed while the application lives.
    const auto installed = setBeepHandler({});
    EXPECT_TRUE(static_cast<bool>(installed));
    setBeepHandler(installed);
    app.setDialogs(nullptr);
}

TEST(LowPriorityScope, lowers_the_priority_for_its_lifetime_when_it_can_come_back)
{
    errno = 0;
    const int before = getpriority(PRIO_PROCESS, 0);
    {
        LowPriorityScope scope;
        if (scope.lowered())
            EXPECT_EQ(getpriority(PRIO_PROCESS, 0), 19);
        else
            EXPECT_EQ(getpriority(PRIO_PROCESS, 0), before);
    }
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), before);
}

} // namespace
} // namespace tessra
