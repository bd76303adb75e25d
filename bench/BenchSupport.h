#pragma once

// Timing helpers shared by the benchmarks: figures are medians of repeated runs.

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double seconds(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e9;
}
