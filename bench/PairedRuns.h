#pragma once

// Ours against a baseline, measured fairly: the two run in turns (ours,
// theirs, ours, theirs ...) so that a busy machine weighs on both alike, and
// each side counts by its median, which one lucky or unlucky run cannot move.

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

inline double elapsedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Paired
{
    double ours = 0;
    double theirs = 0;
    double ratio() const { return ours / theirs; }       // how many times slower we are
    double speedup() const { return theirs / ours; }     // how many times faster we are
};

// Each function runs `runs` times (at least 5) and returns its own measure
// (milliseconds, seconds, bytes: the two must agree).
inline Paired paired(int runs, const std::function<double()> &ours, const std::function<double()> &theirs)
{
    std::vector<double> a, b;
    for (int i = 0; i < std::max(runs, 5); ++i) {
        a.push_back(ours());
        b.push_back(theirs());
    }
    return {median(a), median(b)};
}

} // namespace bench
