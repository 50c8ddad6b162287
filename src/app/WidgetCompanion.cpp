#include "WidgetCompanion.h"

namespace tessra {

bool WidgetCompanion::isShown() const
{
    return m_window && m_window->isVisible();
}

void WidgetCompanion::setShown(bool shown)
{
    if (!m_window)
        return;
    if (shown && m_window->isVisible()) {
        m_window->raise(); // shown again: bring it to the front
        return;
    }
    m_window->setVisible(shown);
}

} // namespace tessra
