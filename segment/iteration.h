#pragma once

// What both temperature laws of a segment share in their iterations, so that they give up alike.

#include <cmath>
#include <initializer_list>
#include <string_view>

namespace dorvent::iteration {

inline constexpr int kMaximumSteps = 100;
inline constexpr double kTolerance = 0.0001;  // relative change at which an iteration has converged

inline constexpr std::string_view kDivergedMessage = "计算过程中数值超出范围，无法求出管段末端参数";
inline constexpr std::string_view kNotConvergedMessage = "迭代100次仍未收敛，无法求出管段末端参数";

inline bool finite(std::initializer_list<double> values)
{
    for (const double value : values) {
        if (!std::isfinite(value)) return false;
    }
    return true;
}

}  // namespace dorvent::iteration
