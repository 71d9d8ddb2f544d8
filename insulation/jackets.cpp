#include "insulation/jackets.h"

#include <array>

namespace dorvent::insulation {
namespace {

// GB 50264-2013 table 5.8.9 (绝热结构外表面材料的黑度), the jacket rows. The table's own text was
// not at hand: the values are those a public implementation quotes as table 5.8.9, and they
// agree with handbook emissivities of the same surfaces (e.g. new galvanised sheet 0.23–0.28).
// So galvanised sheet is about 0.25, not 0.75. The table's paint and mortar rows are left out:
// they are coatings, not jackets, and the user may type any ε.
constexpr std::array<Jacket, 5> kJackets = {{
    {"铝合金薄板", 0.15, 0.3},
    {"不锈钢薄板", 0.2, 0.4},
    {"有光泽的镀锌薄钢板", 0.23, 0.27},
    {"已氧化的镀锌薄钢板", 0.28, 0.32},
    {"纤维织物（玻璃布等）", 0.7, 0.8},
}};

}  // namespace

std::span<const Jacket> jackets() { return kJackets; }

std::optional<Jacket> findJacket(std::string_view name)
{
    for (const Jacket& j : kJackets)
        if (j.name == name) return j;
    return std::nullopt;
}

}  // namespace dorvent::insulation
