#include "TessraApplication.h"

#include "AppTexts.h"
#include "Beep.h"
#include "CommandError.h"
#include "Dialogs.h"

#include <QIcon>

namespace tessra {

namespace {
Dialogs& standardDialogs()
{
    static Dialogs dialogs;
    return dialogs;
}
} // namespace

TessraApplication::TessraApplication(int& argc, char** argv)
    : QApplication(argc, argv)
    , m_title(startupApplicationTitle())
    , m_dialogs(&standardDialogs())
{
    setOrganizationName(productName());
    setApplicationName(productName());
    setApplicationVersion(QStringLiteral("1.9"));
    // The desktop entry and the icon an installed Tessra brings.
    setDesktopFileName(QStringLiteral("org.tessra.Tessra"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tessra.svg")));
    setBeepHandler([] { QApplication::beep(); });
}

TessraApplication::~TessraApplication()
{
    setBeepHandler({});
}

void TessraApplication::setDialogs(Dialogs* dialogs)
{
    m_dialogs = dialogs ? dialogs : &standardDialogs();
}

bool TessraApplication::notify(QObject* receiver, QEvent* event)
{
    // Exceptions must not cross Qt's event loop: a failed command ends here.
    try {
        return QApplication::notify(receiver, event);
    } catch (const CommandError& error) {
        showCommandError(*m_dialogs, activeWindow(), m_title, error);
    } catch (const std::exception& error) {
        showError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void TessraApplication::showError(const QString& message)
{
    showCommandError(*m_dialogs, activeWindow(), m_title, CommandError(message));
}

} // namespace tessra
