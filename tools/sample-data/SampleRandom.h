#pragma once

#include <QtGlobal>

// A small generator of our own: the standard distributions differ between
// library implementations, and the sample must come out byte for byte the
// same from the same seed on every machine.
class SampleRandom
{
public:
    explicit SampleRandom(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        // splitmix64
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in [lo, hi]; hi >= lo.
    int between(int lo, int hi)
    {
        const quint64 span = quint64(qint64(hi) - lo) + 1;
        return int(lo + qint64(next() % span));
    }

    // True with the given chance in percent.
    bool percent(int chance) { return between(0, 99) < chance; }

    template <typename List>
    const auto &pick(const List &list)
    {
        return list[between(0, int(std::size(list)) - 1)];
    }

private:
    quint64 m_state;
};
