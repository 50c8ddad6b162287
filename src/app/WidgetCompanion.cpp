#include "WidgetCompanion.h"

namespace tessra {

bool WidgetCompanion::isShown() const { return m_window && m_window->isVisible(); }

void WidgetCompanion::setShown(bool shown)
{
    if (m_window)
        m_window->setVisible(shown);
}

} // namespace tessra
