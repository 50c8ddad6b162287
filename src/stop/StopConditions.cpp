#include "StopConditions.h"

namespace tessra {

StopConditions::StopConditions(ModelApi model, QObject* parent) : QObject(parent), m_model(model) { }

void StopConditions::recompile() { }

bool StopConditions::anyHolds() const { return false; }

} // namespace tessra
