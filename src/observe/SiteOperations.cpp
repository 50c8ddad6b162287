#include "SiteOperations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// How many statistics share the sweeps over the sites: as many as the series a
// recorder holds.
constexpr std::size_t MaxShared = 16;

// The running values of one state over the sites, in the variables of its
// operations: the extremes, the sum of the values, and over the deviations d
// from the mean the sums of d, of p = d * d (Variance's result and the S2 of
// Skewness and Kurtosis), of p * d and of p * p.
struct StateSums {
    double minimum;
    double maximum;
    double sum;
    double s1;
    double s2;
    double s3;
    double s4;
};

// The first pass over `count` sites of `stride` floats for K states at once,
// each updated site by site in row-major order exactly as Minimum, Maximum
// and Average update their results: a start from site 0's value for the
// extremes and from 0 for the sum. K is small, so that every running value
// stays in a register.
template <int K>
void sumValues(const float* sites, std::size_t count, int stride, const int* states, StateSums* out)
{
    double minimum[K], maximum[K], sum[K];
    int state[K];
    for (int k = 0; k < K; ++k) {
        state[k] = states[k];
        minimum[k] = maximum[k] = static_cast<double>(sites[state[k]]);
        sum[k] = 0.0;
    }
    for (std::size_t i = 0; i < count; ++i, sites += stride)
#pragma GCC unroll 4
        for (int k = 0; k < K; ++k) {
            const double v = static_cast<double>(sites[state[k]]);
            minimum[k] = v < minimum[k] ? v : minimum[k];
            maximum[k] = v > maximum[k] ? v : maximum[k];
            sum[k] = sum[k] + v;
        }
    for (int k = 0; k < K; ++k) {
        out[k].minimum = minimum[k];
        out[k].maximum = maximum[k];
        out[k].sum = sum[k];
    }
}

// The second pass: the deviations of K states from their means, as Variance,
// Skewness and Kurtosis sum them.
template <int K>
void sumDeviations(const float* sites, std::size_t count, int stride, const int* states,
    const double* means, StateSums* out)
{
    double s1[K], s2[K], s3[K], s4[K], mean[K];
    int state[K];
    for (int k = 0; k < K; ++k) {
        state[k] = states[k];
        mean[k] = means[k];
        s1[k] = s2[k] = s3[k] = s4[k] = 0.0;
    }
    for (std::size_t i = 0; i < count; ++i, sites += stride)
#pragma GCC unroll 4
        for (int k = 0; k < K; ++k) {
            const double d = static_cast<double>(sites[state[k]]) - mean[k];
            const double p = d * d;
            s1[k] = s1[k] + d;
            s2[k] = s2[k] + p;
            s3[k] = s3[k] + p * d;
            s4[k] = s4[k] + p * p;
        }
    for (int k = 0; k < K; ++k) {
        out[k].s1 = s1[k];
        out[k].s2 = s2[k];
        out[k].s3 = s3[k];
        out[k].s4 = s4[k];
    }
}

#if defined(__SSE2__)
// Two states in the two lanes of one register: each lane is rounded on its
// own, so each state's numbers are those of the sweeps above, in half the
// instructions. Adjacent states come in one 8-byte load.
template <bool Adjacent> inline __m128d pairAt(const float* site, int a, int b)
{
    if constexpr (Adjacent)
        return _mm_cvtps_pd(
            _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(site + a))));
    else
        return _mm_set_pd(static_cast<double>(site[b]), static_cast<double>(site[a]));
}

inline void storePair(__m128d pair, double& first, double& second)
{
    _mm_storel_pd(&first, pair);
    _mm_storeh_pd(&second, pair);
}

template <bool Adjacent>
void sumValuesOfPair(
    const float* sites, std::size_t count, int stride, const int* states, StateSums* out)
{
    const int a = states[0];
    const int b = states[1];
    __m128d minimum = pairAt<Adjacent>(sites, a, b);
    __m128d maximum = minimum;
    __m128d sum = _mm_setzero_pd();
    for (std::size_t i = 0; i < count; ++i, sites += stride) {
        const __m128d v = pairAt<Adjacent>(sites, a, b);
        minimum = _mm_min_pd(v, minimum); // v < minimum ? v : minimum
        maximum = _mm_max_pd(v, maximum); // v > maximum ? v : maximum
        sum = _mm_add_pd(sum, v);
    }
    storePair(minimum, out[0].minimum, out[1].minimum);
    storePair(maximum, out[0].maximum, out[1].maximum);
    storePair(sum, out[0].sum, out[1].sum);
}

template <bool Adjacent>
void sumDeviationsOfPair(const float* sites, std::size_t count, int stride, const int* states,
    const double* means, StateSums* out)
{
    const int a = states[0];
    const int b = states[1];
    const __m128d mean = _mm_set_pd(means[1], means[0]);
    __m128d s1 = _mm_setzero_pd();
    __m128d s2 = s1;
    __m128d s3 = s1;
    __m128d s4 = s1;
    for (std::size_t i = 0; i < count; ++i, sites += stride) {
        const __m128d d = _mm_sub_pd(pairAt<Adjacent>(sites, a, b), mean);
        const __m128d p = _mm_mul_pd(d, d);
        s1 = _mm_add_pd(s1, d);
        s2 = _mm_add_pd(s2, p);
        s3 = _mm_add_pd(s3, _mm_mul_pd(p, d));
        s4 = _mm_add_pd(s4, _mm_mul_pd(p, p));
    }
    storePair(s1, out[0].s1, out[1].s1);
    storePair(s2, out[0].s2, out[1].s2);
    storePair(s3, out[0].s3, out[1].s3);
    storePair(s4, out[0].s4, out[1].s4);
}
#endif

// Both passes over a pair of states.
void sumValuesOfTwo(
    const float* sites, std::size_t count, int stride, const int* states, StateSums* out)
{
#if defined(__SSE2__)
    if (states[1] == states[0] + 1)
        sumValuesOfPair<true>(sites, count, stride, states, out);
    else
        sumValuesOfPair<false>(sites, count, stride, states, out);
#else
    sumValues<2>(sites, count, stride, states, out);
#endif
}

void sumDeviationsOfTwo(const float* sites, std::size_t count, int stride, const int* states,
    const double* means, StateSums* out)
{
#if defined(__SSE2__)
    if (states[1] == states[0] + 1)
        sumDeviationsOfPair<true>(sites, count, stride, states, means, out);
    else
        sumDeviationsOfPair<false>(sites, count, stride, states, means, out);
#else
    sumDeviations<2>(sites, count, stride, states, means, out);
#endif
}

// The finish call of operation `code` on a context holding the running values
// of its state: the one place the formulas are written.
double finish(int code, const StateSums& sums, double n, double mean)
{
    Context c {};
    c.n = n;
    c.mean = mean;
    c.s1 = sums.s1;
    c.s2 = sums.s2;
    switch (code) {
    case 0:
        return sums.minimum;
    case 1:
        return sums.maximum;
    case 2:
        c.result = sums.sum;
        break;
    case 3:
        c.result = sums.s2;
        break;
    case 4:
        c.result = sums.s3;
        break;
    default:
        c.result = sums.s4;
        break;
    }
    Operations[code](nullptr, 0, 0, 0, 0, -1, &c.result);
    return c.result;
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
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const float* const sites = model.siteValues();
    const int stride = model.stateCount();
    if (!sites || stride <= 0) {
        // No site holds a value: every statistic divides 0 by 0 or has no
        // site for its extreme.
        std::fill(results.begin(), results.end(), nan);
        return;
    }
    // Without allocating: at most MaxShared statistics share the sweeps, and
    // more are taken in groups of that many (each state's numbers are its own,
    // whatever else is asked with it).
    if (requests.size() > MaxShared) {
        for (std::size_t first = 0; first < requests.size(); first += MaxShared) {
            const std::size_t size = std::min(MaxShared, requests.size() - first);
            computeAll(model, requests.subspan(first, size), results.subspan(first, size));
        }
        return;
    }
    const std::size_t count = static_cast<std::size_t>(model.worldWidth())
        * static_cast<std::size_t>(model.worldHeight());
    const double n = static_cast<double>(count); // the count of the site calls, 1.0 at a time

    // The states asked for, and those of them whose deviations are asked for.
    std::array<int, MaxShared> states {};
    std::array<int, MaxShared> deviated {};
    std::size_t stateCount = 0;
    std::size_t deviatedCount = 0;
    const auto known = [](const Request& request, int stateTotal) {
        return request.code >= 0 && request.code < 6 && request.state >= 0
            && request.state < stateTotal;
    };
    const auto indexOf = [](const std::array<int, MaxShared>& list, std::size_t size, int state) {
        return static_cast<std::size_t>(
            std::find(list.begin(), list.begin() + size, state) - list.begin());
    };
    for (const Request& request : requests) {
        if (!known(request, stride))
            continue;
        if (indexOf(states, stateCount, request.state) == stateCount)
            states[stateCount++] = request.state;
        if (request.code >= 3 && indexOf(deviated, deviatedCount, request.state) == deviatedCount)
            deviated[deviatedCount++] = request.state;
    }

    // Two states a sweep: their running values interleave in registers.
    std::array<StateSums, MaxShared> sums {};
    for (std::size_t k = 0; k < stateCount; k += 2) {
        if (k + 1 < stateCount)
            sumValuesOfTwo(sites, count, stride, &states[k], &sums[k]);
        else
            sumValues<1>(sites, count, stride, &states[k], &sums[k]);
    }
    const auto sumsOf
        = [&](int state) -> StateSums& { return sums[indexOf(states, stateCount, state)]; };
    const auto meanOf = [&](int state) { return finish(2, sumsOf(state), n, 0.0); };
    std::array<double, MaxShared> means {};
    std::array<StateSums, MaxShared> deviations {};
    for (std::size_t k = 0; k < deviatedCount; ++k)
        means[k] = meanOf(deviated[k]);
    for (std::size_t k = 0; k < deviatedCount; k += 2) {
        if (k + 1 < deviatedCount)
            sumDeviationsOfTwo(sites, count, stride, &deviated[k], &means[k], &deviations[k]);
        else
            sumDeviations<1>(sites, count, stride, &deviated[k], &means[k], &deviations[k]);
    }
    for (std::size_t k = 0; k < deviatedCount; ++k) {
        StateSums& own = sumsOf(deviated[k]);
        own.s1 = deviations[k].s1;
        own.s2 = deviations[k].s2;
        own.s3 = deviations[k].s3;
        own.s4 = deviations[k].s4;
    }

    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Request& request = requests[i];
        if (!known(request, stride))
            results[i] = nan;
        else
            results[i] = finish(request.code, sumsOf(request.state), n,
                request.code >= 3 ? meanOf(request.state) : 0.0);
    }
}

} // namespace tessra
