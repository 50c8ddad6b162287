#include "Core.h"

namespace tessra {

Core::Core()
    : m_recorder(m_model)
    , m_stopConditions(m_model)
    , m_frontEnd(m_model, m_recorder, m_stopConditions)
{
}

} // namespace tessra
