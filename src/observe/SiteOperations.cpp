#include "SiteOperations.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

// This file is compiled with floating-point contraction off: every product
// and sum below is rounded to double on its own, in the order written.

namespace tessra {

namespace {

using Context = SiteOperations::SiteContext;
static_assert(std::is_standard_layout_v<Context>, "the result must share the context's address");

// The result address is that of the context's first member, so the two
// pointers are interconvertible.
inline Context* context(double* result)
{
    return reinterpret_cast<Context*>(result);
}

// Phases of a pass: a start call, one call per site, a finish call.
constexpr int Start = 1;
constexpr int Site = 0;

// Minimum and Maximum read the values on the start and finish calls too; a
// world without sites may pass no values there, and the result then stays
// what it was (NaN).
unsigned char minimum(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase != Site && !values)
        return 1;
    const double v = values[c->state];
    if (phase == Start)
        c->result = v;
    else if (v < c->result)
        c->result = v;
    return 1;
}

unsigned char maximum(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase != Site && !values)
        return 1;
    const double v = values[c->state];
    if (phase == Start)
        c->result = v;
    else if (v > c->result)
        c->result = v;
    return 1;
}

unsigned char average(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        c->result = c->result + static_cast<double>(values[c->state]);
        c->n = c->n + 1.0;
    } else if (phase == Start) {
        c->result = 0.0;
        c->n = 0.0;
    } else {
        c->result = c->result / c->n;
    }
    return 1;
}

// Variance, Skewness and Kurtosis take the mean from the result at their
// start call (an Average pass has just left it there).
void startDeviations(Context* c)
{
    c->mean = c->result;
    c->n = 0.0;
    c->s1 = 0.0;
    c->s2 = 0.0;
    c->result = 0.0;
}

double sampleVariance(const Context* c)
{
    return (c->s2 - c->s1 * c->s1 / c->n) / (c->n - 1.0);
}

unsigned char variance(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        const double d = static_cast<double>(values[c->state]) - c->mean;
        c->n = c->n + 1.0;
        c->s1 = c->s1 + d;
        c->result = c->result + d * d;
    } else if (phase == Start) {
        startDeviations(c);
    } else {
        c->result = (c->result - c->s1 * c->s1 / c->n) / (c->n - 1.0);
    }
    return 1;
}

unsigned char skewness(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        const double d = static_cast<double>(values[c->state]) - c->mean;
        const double p = d * d;
        c->n = c->n + 1.0;
        c->s1 = c->s1 + d;
        c->s2 = c->s2 + p;
        c->result = c->result + p * d;
    } else if (phase == Start) {
        startDeviations(c);
    } else {
        const double var = sampleVariance(c);
        c->result = c->result / (std::sqrt(var) * c->n * var);
    }
    return 1;
}

unsigned char kurtosis(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        const double d = static_cast<double>(values[c->state]) - c->mean;
        const double p = d * d;
        c->n = c->n + 1.0;
        c->s1 = c->s1 + d;
        c->s2 = c->s2 + p;
        c->result = c->result + p * p;
    } else if (phase == Start) {
        startDeviations(c);
    } else {
        const double var = sampleVariance(c);
        c->result = c->result / (c->n * var * var) - 3.0;
    }
    return 1;
}

constexpr TessraSiteOperation Operations[]
    = { minimum, maximum, average, variance, skewness, kurtosis };

// Several statistics in shared passes: the pass's result address is that of
// `first`, and each step updates its context with its own operation in turn.
struct Batch {
    struct Step {
        int code;
        std::size_t context;
    };
    double first;
    std::vector<Context> contexts;
    std::vector<Step> steps;
};
static_assert(std::is_standard_layout_v<Batch>, "the result must share the batch's address");

unsigned char batchPass(float* values, int c, int r, int w, int h, int phase, double* result)
{
    Batch* batch = reinterpret_cast<Batch*>(result);
    // A switch, not the table: each operation is then compiled into the loop.
    for (const Batch::Step& step : batch->steps) {
        double* own = &batch->contexts[step.context].result;
        switch (step.code) {
        case 0:
            minimum(values, c, r, w, h, phase, own);
            break;
        case 1:
            maximum(values, c, r, w, h, phase, own);
            break;
        case 2:
            average(values, c, r, w, h, phase, own);
            break;
        case 3:
            variance(values, c, r, w, h, phase, own);
            break;
        case 4:
            skewness(values, c, r, w, h, phase, own);
            break;
        default:
            kurtosis(values, c, r, w, h, phase, own);
            break;
        }
    }
    return 1;
}

} // namespace

TessraSiteOperation SiteOperations::operation(int code)
{
    return code >= 0 && code < 6 ? Operations[code] : nullptr;
}

double SiteOperations::compute(const ModelApi& model, int code, int state)
{
    const Request request { code, state };
    double result = std::numeric_limits<double>::quiet_NaN();
    computeAll(model, std::span<const Request>(&request, 1), std::span<double>(&result, 1));
    return result;
}

void SiteOperations::computeAll(
    const ModelApi& model, std::span<const Request> requests, std::span<double> results)
{
    // The first pass: Minimum and Maximum, and one mean per state, which every
    // other statistic of the state starts from (the same sums in the same
    // order, so the same number). The second: the deviations from the mean.
    Batch batch {};
    batch.contexts.resize(requests.size());
    std::vector<Batch::Step> deviations;
    std::vector<std::pair<std::size_t, std::size_t>> sharedMeans; // (context, its mean's)
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Request& request = requests[i];
        Context& c = batch.contexts[i];
        c.result = std::numeric_limits<double>::quiet_NaN();
        c.state = request.state;
        // An unknown code keeps NaN: it takes part in no pass.
        if (request.code < 0 || request.code >= 6)
            continue;
        if (request.code <= 1) {
            batch.steps.push_back({ request.code, i });
            continue;
        }
        const auto mean
            = std::find_if(batch.steps.begin(), batch.steps.end(), [&](const Batch::Step& step) {
                  return step.code == 2 && batch.contexts[step.context].state == request.state;
              });
        if (mean == batch.steps.end())
            batch.steps.push_back({ 2, i });
        else
            sharedMeans.emplace_back(i, mean->context);
        if (request.code >= 3)
            deviations.push_back({ request.code, i });
    }
    model.forEachSite(batchPass, &batch.first);
    for (const auto& [context, mean] : sharedMeans)
        batch.contexts[context] = batch.contexts[mean];
    if (!deviations.empty()) {
        batch.steps = std::move(deviations);
        model.forEachSite(batchPass, &batch.first);
    }
    // Without sites the extreme of the start call is no site's value.
    const bool noSites = model.worldWidth() <= 0 || model.worldHeight() <= 0;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const int code = requests[i].code;
        if (code < 0 || code >= 6 || (code <= 1 && noSites))
            results[i] = std::numeric_limits<double>::quiet_NaN();
        else
            results[i] = batch.contexts[i].result;
    }
}

} // namespace tessra
