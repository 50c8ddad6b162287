#include "WidgetCompanion.h"

namespace tessra {

bool WidgetCompanion::isShown() const { return m_window && m_window->isVisible(); }

void WidgetCompanion::setShown(bool shown)
{
    if (!m_window)
        return;
    m_window->setVisible(shown);
    if (shown)
        m_window->raise(); // already shown: bring it to the front
}

} // namespace tessra
