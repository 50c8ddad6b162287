#pragma once

#include "ModelApi.h"

#include <span>

namespace tessra {

/// The statistics over all sites of the world, computed by the model API
/// library's pass over the sites (forEachAgentVar) with one of the site
/// operations below as its callback.
///
/// A site operation receives only the site's values and the result address.
/// Its working state (the state index it reads, the mean, the count and the
/// sums) lives in a SiteContext whose first member is the result double: the
/// address handed to forEachAgentVar is that of the result, and the callback
/// gets back to the whole context from it. So there is no module-level state
/// and two recorders could never disturb each other's passes.
class SiteOperations {
public:
    /// Working state of one pass. `result` must stay the first member.
    struct SiteContext {
        double result;
        double mean;
        double n;
        double s1;
        double s2;
        int state;
    };

    /// The site operation of an operation code 0 to 5 (Minimum, Maximum,
    /// Average, Variance, Skewness, Kurtosis), or null for another code.
    static TessraSiteOperation operation(int code);

    /// One value of a statistic (codes 0 to 5) of state `state` over the
    /// world, the number the operation gives in its passes of
    /// forEachAgentVar: one pass for Minimum, Maximum and Average; for
    /// Variance, Skewness and Kurtosis a pass of Average leaves the mean in
    /// the result and a second pass reads it there at its start call.
    ///
    /// Nothing guards the divisions: a world without sites gives NaN (for
    /// Minimum and Maximum too, whatever the start call saw), one
    /// site gives NaN for Variance, Skewness and Kurtosis, and a constant
    /// world gives NaN for Skewness and Kurtosis. A `state` that is not a
    /// state index of the loaded model gives NaN.
    static double compute(const ModelApi& model, int code, int state);

    /// One statistic asked of computeAll(): an operation code 0 to 5 and a
    /// state index of the loaded model.
    struct Request {
        int code;
        int state;
    };

    /// The statistics `requests` asks for, into `results` (the same length),
    /// each the very number compute() gives. The sites are read straight from
    /// the world's block of values, at most twice however many statistics
    /// there are: the first sweep carries every asked state's extremes and
    /// sum, the second the sums of its deviations from the mean, each updated
    /// site by site in row-major order exactly as the operations update them.
    /// Allocates nothing; more than 16 statistics are taken 16 at a time.
    static void computeAll(
        const ModelApi& model, std::span<const Request> requests, std::span<double> results);
};

} // namespace tessra
