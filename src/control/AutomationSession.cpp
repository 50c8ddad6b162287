#include "AutomationSession.h"

#include <QCoreApplication>
#include <QtGlobal>

#include "Core.h"
#include "FrontEnd.h"

namespace tessra {

AutomationSession::AutomationSession(
    Core& core, const QDBusConnection& connection, const QString& serviceName, QObject* parent)
    : QObject(parent)
    , m_core(core)
    , m_server(core, connection, serviceName)
{
    connect(&m_server, &AutomationServer::clientGone, this, &AutomationSession::clientGone);
}

AutomationSession::~AutomationSession() = default;

bool AutomationSession::start()
{
    if (m_server.start())
        return true;
    qWarning("Automation is not available: %s", qPrintable(m_server.errorText()));
    return false;
}

void AutomationSession::clientGone()
{
    m_core.frontEnd().requestPause();
    // exit() ends the event loops without closing windows: quit() would close
    // the main window, and that asks the user whether to end an automated run.
    QCoreApplication::exit(0);
}

} // namespace tessra
