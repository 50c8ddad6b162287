#pragma once

#include <cstdint>

namespace tessra {

/// A small, fast pseudo-random generator (xoshiro256**, seeded through
/// splitmix64). The same seed gives the same sequence on every machine and
/// compiler, so a model's results depend on its parameters alone.
class Random {
public:
    explicit Random(std::uint64_t seed = 1) noexcept { reseed(seed); }

    void reseed(std::uint64_t seed) noexcept
    {
        for (auto& word : m_state)
            word = splitMix(seed);
    }

    /// 64 random bits.
    std::uint64_t next() noexcept
    {
        const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
        const std::uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = rotl(m_state[3], 45);
        return result;
    }

    /// Uniform in [0, 1).
    double uniform() noexcept { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    /// True with probability p (never for p <= 0, always for p >= 1).
    bool chance(double p) noexcept { return uniform() < p; }

    /// Uniform whole number in [0, n); 0 when n is 0.
    std::uint32_t below(std::uint32_t n) noexcept
    {
        return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32);
    }

    /// The splitmix64 step: advances state and returns a well-mixed word.
    /// Also useful on its own to hash a (seed, site) pair into a seed.
    static std::uint64_t splitMix(std::uint64_t& state) noexcept
    {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) noexcept
    {
        return (x << k) | (x >> (64 - k));
    }

    std::uint64_t m_state[4] {};
};

} // namespace tessra
