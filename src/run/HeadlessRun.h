#pragma once

#include "RunRequest.h"

namespace tessra {

/// One run of a model without a screen, on the same core as the window: loads
/// the model and its settings, applies the --set values, chooses the series and
/// stop conditions, builds the world, runs it with no drawing until the ticks
/// are reached or a condition holds, and writes the series in the export format
/// of the time-series window; with --picture, --pictures or --movie it also
/// saves the world at the end, numbered frames or a movie (RunMedia). The
/// model's debug log goes to the standard error, with a progress line on a
/// terminal.
///
/// Needs a QCoreApplication; one run per process (the model API library holds
/// one model). Nothing is written to the output unless the run succeeds.
class HeadlessRun {
public:
    explicit HeadlessRun(RunRequest request);

    /// Does the run. Throws RunError: BadArguments for files that are missing
    /// or cannot be written, unknown names and bad texts (before any step);
    /// Refused when the model does not load or refuses a value, or when writing
    /// frames or a movie fails (the run ends there).
    void execute();

private:
    RunRequest m_request;
};

} // namespace tessra
