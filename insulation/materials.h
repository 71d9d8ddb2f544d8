#pragma once

#include <array>
#include <limits>
#include <optional>
#include <span>
#include <string_view>

namespace dorvent::insulation {

/// One piece of a conductivity equation of GB 50264-2013 Appendix A, valid for mean layer
/// temperatures tm up to `upTo` ℃ (the last piece has no upper end):
///     λ = c[0] + c[1]·(tm − from) + c[2]·(tm − from)² + c[3]·(tm − from)³      W/(m·K)
/// `from` is the temperature the code's equation subtracts, e.g. 70 in 0.043 + 0.00015 (tm − 70).
struct ConductivityPiece {
    double upTo;
    double from;
    std::array<double, 4> c;
};

inline constexpr double kNoUpperEnd = std::numeric_limits<double>::infinity();

/// An insulation material (保温材料): its name, the highest temperature it may be used at and its
/// conductivity equation, in one or two pieces.
struct Material {
    std::string_view name;     ///< as the window lists it, e.g. "岩棉"
    std::string_view density;  ///< the density the equation holds for, e.g. "60~100 kg/m³"
    double useUpTo;            ///< ℃, the code's 推荐使用温度 upper limit
    std::array<ConductivityPiece, 2> pieces;
    int pieceCount;
};

/// Conductivity [W/(m·K)] at the layer's mean temperature tm [℃]: the first piece whose upper
/// end is at or above tm (the code writes the lower range with "≤", e.g. rock wool tm ≤ 100 ℃);
/// within 5 ℃ of a step between two pieces that do not meet, the straight line across it.
double conductivity(const Material& material, double tm);

/// dλ/dtm at tm, for the solve's Newton steps.
double conductivitySlope(const Material& material, double tm);

/// True when λ > 0 for every mean temperature from `low` to `high` ℃ (an own material's
/// quadratic may fall to zero or below, and no heat balance holds there).
bool conductivityPositive(const Material& material, double low, double high);

/// The built-in materials, in the order of Appendix A.
std::span<const Material> builtInMaterials();

/// The built-in material of that name, or none.
std::optional<Material> findMaterial(std::string_view name);

/// A material of one's own (自定义材料): λ = a + b·tm + c·tm², usable up to `useUpTo` ℃.
Material ownMaterial(double a, double b, double c, double useUpTo);

}  // namespace dorvent::insulation
