#pragma once

#include <vector>

#include "insulation/heatloss.h"
#include "insulation/outcome.h"
#include "insulation/thickness.h"

namespace dorvent::insulation {

/// The prices and terms an economic thickness weighs (GB 50264-2013 5.7, 5.8).
struct Prices {
    double heat;        ///< PE, price of heat [元/GJ]
    double hours;       ///< t, hours of operation a year [h]
    double insulation;  ///< PT, installed insulation [元/m³ of insulation]
    double jacket;      ///< installed jacket [元/m² of outer surface]
    int years;          ///< n, years the investment is paid back over
    double interest;    ///< i, yearly interest rate, e.g. 0.1
};

/// Capital recovery factor S = i(1+i)ⁿ / ((1+i)ⁿ − 1); 1/n when i = 0.
double capitalRecoveryFactor(double interest, int years);

/// One thickness of the outermost layer and what it costs a year per metre of pipe [元/(m·a)]:
///   heat    = PE · q · t · 3600 · 10⁻⁹                (q in W/m, 3600 s/h, 10⁻⁹ GJ/J)
///   capital = S · (PT · π/4 (D² − D0²) + Pj · π D)    (D the outer diameter of the insulation, m)
/// So the insulation price multiplies the volume of all insulation per metre of pipe, and the
/// jacket price the outer surface per metre of pipe.
struct Candidate {
    double thickness;  ///< [mm]
    HeatLoss loss;
    double heatCost;
    double capitalCost;
    double yearlyCost;  ///< heat + capital
};

/// Every thickness of the steps, thinnest first; refused when a solve is.
Outcome<std::vector<Candidate>> candidateTable(const Construction& construction, const Surroundings& surroundings,
                                               const Prices& prices, ThicknessSteps steps = {});

/// The candidate of least yearly cost: the economic thickness by direct search.
Outcome<Candidate> economicThicknessBySearch(const Construction& construction, const Surroundings& surroundings,
                                             const Prices& prices, ThicknessSteps steps = {});

/// The economic thickness of one layer by the code's closed form (GB 50264-2013 5.3):
///     D1 ln(D1/D0) = 3.795·10⁻³ · √(PE λ t |T0 − Ta| / (PT S)) − 2λ/αs
/// with λ and αs those of the construction at that thickness (found by repeating the formula
/// until the thickness changes by less than 10⁻⁶ mm). The formula counts the insulation price
/// only, not the jacket's. `exact` is the formula's thickness, `rounded` the next step up.
struct ClosedFormThickness {
    double exact;    ///< [mm]
    double rounded;  ///< [mm]
};
Outcome<ClosedFormThickness> economicThicknessClosedForm(const Construction& construction,
                                                         const Surroundings& surroundings, const Prices& prices,
                                                         double step = 10);

}  // namespace dorvent::insulation
