#pragma once

namespace tessra {
class NewSimulationCandidates;
}

namespace tessra::test {

/// This test program exports the two host functions through which a model
/// reads the New Simulation dialog (_isDNewVisible, _getDNewParamValue), as
/// the tessra executable does, so the calllog fixture can record what a model
/// sees from inside its callbacks. They answer from `candidates` (none: the
/// dialog is hidden and every value 0).
void setDialogCandidates(const NewSimulationCandidates* candidates);

} // namespace tessra::test
