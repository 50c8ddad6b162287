#include "SpaceKeyFilter.h"

#include "FrontEnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tessra {

SpaceKeyFilter::SpaceKeyFilter(FrontEnd& frontEnd, QWidget& mainWindow)
    : QObject(&mainWindow)
    , m_frontEnd(frontEnd)
    , m_mainWindow(mainWindow)
{
}

bool SpaceKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || QApplication::activeWindow() != &m_mainWindow)
        return QObject::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        // Claim the key, so that it arrives as a key press rather than as the
        // shortcut of Run or Pause.
        key->accept();
        return true;
    }
    if (m_frontEnd.isRunning())
        m_frontEnd.requestPause();
    else
        m_frontEnd.Run1Click();
    return true;
}

} // namespace tessra
