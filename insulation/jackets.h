#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace dorvent::insulation {

/// A jacket (外护层) and the range of its emissivity ε (黑度) as the code's table gives it; the
/// user picks a value in the range or types ε.
struct Jacket {
    std::string_view name;
    double emissivityLow;
    double emissivityHigh;
};

/// The jackets of GB 50264-2013 table 5.8.9 that a steam pipe is clad with (metal sheets and fibre
/// cloth), in the table's order. docs/insulation.md says where the values come from.
std::span<const Jacket> jackets();

/// The jacket of that name, or none.
std::optional<Jacket> findJacket(std::string_view name);

}  // namespace dorvent::insulation
