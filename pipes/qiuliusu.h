#pragma once

#include <cstdint>
#include <string_view>

#include "steam/refusal.h"

namespace dorvent {

inline constexpr std::string_view kStateFirstMessage = "请先计算蒸汽状态";
inline constexpr std::string_view kFlowMissingMessage = "请输入蒸汽流量";
inline constexpr std::string_view kNotSuperheatedMessage = "蒸汽不是过热蒸汽，不能用本程序计算";
inline constexpr std::string_view kWallThicknessMessage = "壁厚不符合实际";
/// For inputs whose arithmetic has no finite answer: a zero density, a flow beyond the single
/// precision range, an inner diameter where the friction law divides by zero.
inline constexpr std::string_view kNotComputableMessage = "流量、密度或管径超出计算范围，无法计算流速";

/// Mean velocity w [m/s] and specific friction loss R [Pa/m] of steam flow G [t/h] at density
/// rho [kg/m3] in a steel pipe of outer diameter D [mm] and wall thickness s [mm], both rounded
/// to three decimals. Only superheated steam (area 2 or 5) is accepted; on a refusal w and R
/// keep their values and the refusal says why.
[[nodiscard]] Refusal qiuliusu(std::int16_t area, float G, double rho, double D, double s, double& w, double& R);

}  // namespace dorvent
