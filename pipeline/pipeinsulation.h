#pragma once

// An insulated pipe: its construction taken from the document, solved at a steam temperature,
// and at its start (its hottest point) checked against the document's limits.

#include <optional>
#include <string>
#include <variant>

#include "insulation/heatloss.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// What the insulation of one pipe is solved from.
struct PipeInsulation {
    insulation::Construction construction;  ///< with the pipe's outer diameter
    double ambient = 0;                     ///< [℃]
    double wind = 0;                        ///< [m/s]
    double emissivity = 0;

    /// The construction's loss with steam at t [℃]; previous: its loss at nearly that temperature.
    insulation::Outcome<insulation::HeatLoss> at(double t, const insulation::HeatLoss* previous = nullptr) const
    {
        return insulation::solveHeatLoss(construction, {t, ambient, wind, emissivity}, previous);
    }
};

/// The insulation of a pipe named by its construction, on a pipe of that outer diameter [mm] in
/// that ambient [℃]; or why it cannot be computed: "保温做法“甲”的外层厚度未给出".
std::variant<PipeInsulation, std::string> pipeInsulation(const PipelineDocument& document, const PipelineSegment& s,
                                                         double pipeDiameter, double ambient);

/// The emissivity a construction is computed with: the typed one, else the middle of its jacket's
/// range; none when it has neither.
std::optional<double> emissivityOf(const InsulationConstruction& construction);

/// The surface temperature limit of the document for an ambient [℃].
double surfaceLimitOf(const PipelineDocument& document, double ambient);

/// An insulated pipe at a steam temperature, as its row shows it: the surface temperature [℃],
/// the loss per metre [W/m] and per m² of surface [W/m²], the allowed loss [W/m²] where the code
/// gives one, and the limits it breaks, each a sentence with its numbers.
struct InsulationCheck {
    double surface = 0;
    double perMetre = 0;
    double perSquareMetre = 0;
    std::optional<double> allowed{};
    bool surfaceTooHot = false;
    bool lossTooHigh = false;       ///< above the allowed loss, or no allowed loss at that temperature
    std::string warnings{};         ///< joined by "；"; empty when every limit holds
};
insulation::Outcome<InsulationCheck> checkInsulation(const PipelineDocument& document, const PipeInsulation& pipe, double t);

}  // namespace dorvent
