#pragma once

#include "insulation/heatloss.h"
#include "insulation/limits.h"
#include "insulation/outcome.h"

namespace dorvent::insulation {

/// Thicknesses tried in a design: step, 2·step, … up to `largest` [mm]. Products come in 10 mm
/// steps.
struct ThicknessSteps {
    double step = 10;
    double largest = 500;
};

/// The construction with its outermost layer (the only one, or the outer of two) `thickness` mm thick.
Construction withOuterThickness(Construction construction, double thickness);

/// The least thickness of the outermost layer, in steps, with which the surface is at most the
/// surface limit and Q at most the allowed loss (when there is one); the other layer stays as
/// given. Refused when no step up to the largest meets both, or the solve refuses.
Outcome<double> leastThickness(const Construction& construction, const Surroundings& surroundings,
                               const Limits& limits, ThicknessSteps steps = {});

}  // namespace dorvent::insulation
