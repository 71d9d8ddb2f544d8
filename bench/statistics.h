#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace dorvent::bench {

/// Five repetitions of a case, reported as mean, median, min and max.
inline benchmark::internal::Benchmark* repeated(benchmark::internal::Benchmark* b)
{
    return b->Repetitions(5)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

}  // namespace dorvent::bench
