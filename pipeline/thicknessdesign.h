#pragma once

// The thickness design (保温厚度计算) of insulated pipes: for each, at its start (its hottest point)
// and in its ambient, the outermost layer of its construction in 10 mm steps; the least thickness
// that keeps the limits, the economic thickness from the document's prices, and the construction
// changed to the thickness chosen.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "insulation/economics.h"
#include "insulation/limits.h"
#include "insulation/thickness.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// The prices of the economic thickness the settings hold; none while one is missing.
std::optional<insulation::Prices> pricesOf(const InsulationSettings& settings);
/// The prices the settings lack, as the window names them: "热价、年利率"; empty when none is missing.
std::string missingPrices(const InsulationSettings& settings);

/// A thickness of the outermost layer tried, with what it loses, whether it keeps the limits, and
/// what it costs a year per metre of pipe [元/(m·a)] when the prices are given.
struct ThicknessTrial {
    double thickness = 0;  ///< [mm]
    insulation::HeatLoss loss{};
    bool withinLimits = false;
    std::optional<double> heatCost{}, capitalCost{}, yearlyCost{};
};

struct ThicknessDesign {
    std::size_t pipe = 0;                ///< its index in the document's segments
    std::string construction{};          ///< the name of its construction
    std::string problem{};               ///< why there is no design at all; empty when there is one
    double medium = 0;                   ///< the steam at the pipe's start [℃]
    double ambient = 0;                  ///< [℃]
    bool twoLayers = false;              ///< the outer of two layers is varied, the inner kept
    std::optional<double> current{};    ///< the varied layer's thickness now [mm]
    insulation::Limits limits{};
    std::vector<ThicknessTrial> trials{};  ///< every step, thinnest first
    std::optional<double> least{};       ///< the least thickness keeping the limits
    std::string leastProblem{};
    std::optional<double> economic{};    ///< the economic thickness by direct search
    std::string economicProblem{};
    std::optional<insulation::ClosedFormThickness> closedForm{};  ///< one layer only
    std::string closedFormProblem{};
    /// What 应用 gives: the economic thickness, or the least where that is thicker (the loss must stay
    /// within the limits); without prices the least.
    std::optional<double> chosen{};
    /// With several load cases: the case whose limits want the thickest layer; empty with one.
    std::string leastCase{};
};

/// The design of a pipe of the document, insulated by a construction, at its start state of the
/// result. The outermost layer may have no thickness yet; everything else of the construction must
/// be given.
ThicknessDesign designThickness(const PipelineDocument& document, const PipelineResult& result, std::size_t pipe,
                                insulation::ThicknessSteps steps = {});

/// The design over every load case: the design case's, the economic thickness its, with each
/// thickness within the limits only where it keeps them in every case (each at its own start
/// state and limits), and the least thickness the thickest any case needs.
ThicknessDesign designThicknessInEveryCase(const PipelineDocument& document, const std::vector<PipelineResult>& results,
                                           std::size_t pipe, insulation::ThicknessSteps steps = {});

/// The document with each pipe's construction at the thickness chosen for it; a pipe designed
/// without a thickness (none: its start was not computed) keeps its construction, wherever that
/// goes. A construction whose pipes are all designed and get one thickness is changed; otherwise
/// the pipes that get another thickness than their construction's are given a copy of it, named
/// after it and the thickness ("主线保温 140mm"), or one of that name and make that there is
/// already. Refused, with the reason, when the document would hold more constructions than a file may.
struct ThicknessesApplied {
    PipelineDocument document;
    std::string refusal;
};
ThicknessesApplied applyThicknesses(const PipelineDocument& document,
                                    const std::vector<std::pair<std::size_t, std::optional<double>>>& chosen);

}  // namespace dorvent
