#include "pipeline/thicknessdesign.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "insulation/allowedloss.h"
#include "numtext/formatnumber.h"
#include "pipeline/loadcases.h"
#include "pipeline/pipeinsulation.h"
#include "pipeline/pipelinefile.h"
#include "pipes/guanjing.h"
#include "segment/guanduanjisuan.h"

namespace dorvent {
namespace {

std::string quoted(std::string_view name) { return "“" + std::string(name) + "”"; }

/// The layer a design varies: the outer one of two, or the only one. A second layer is there once
/// its material or its thickness is given, as for the calculation of the pipe.
InsulationLayer& outermost(InsulationConstruction& c)
{
    return !c.outer.material.empty() || c.outer.thickness ? c.outer : c.inner;
}

/// The name's first bytes, no more than `most`, cut between characters.
std::string cutName(const std::string& name, std::size_t most)
{
    std::size_t end = std::min(most, name.size());
    while (end > 0 && end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
}

/// The construction's copy at a thickness: its own name after the original's, or the name of one
/// just like it that the document already holds.
std::string copyName(const PipelineDocument& d, const InsulationConstruction& copy, const std::string& original, double thickness)
{
    const std::string ending = " " + formatShortest(thickness) + "mm";
    for (int n = 1;; ++n) {
        const std::string counted = n == 1 ? ending : ending + "（" + std::to_string(n) + "）";
        const std::string name = cutName(original, kMostNodeNameBytes - counted.size()) + counted;
        const InsulationConstruction* there = findConstruction(d, name);
        if (there == nullptr) return name;
        InsulationConstruction same = copy;
        same.name = name;
        if (*there == same) return name;
    }
}

}  // namespace

std::optional<insulation::Prices> pricesOf(const InsulationSettings& s)
{
    if (!missingPrices(s).empty()) return std::nullopt;
    return insulation::Prices{.heat = *s.heatPrice, .hours = *s.hours, .insulation = *s.insulationPrice,
                              .jacket = *s.jacketPrice, .years = static_cast<int>(*s.years), .interest = *s.interest};
}

std::string missingPrices(const InsulationSettings& s)
{
    std::string missing;
    const std::pair<const std::optional<double>*, const char*> prices[] = {
        {&s.heatPrice, "热价"}, {&s.hours, "年运行小时数"}, {&s.insulationPrice, "保温材料价格"},
        {&s.jacketPrice, "外护层价格"}, {&s.years, "计算年限"}, {&s.interest, "年利率"}};
    for (const auto& [price, name] : prices) {
        if (!*price) missing += (missing.empty() ? "" : "、") + std::string(name);
    }
    return missing;
}

ThicknessDesign designThickness(const PipelineDocument& d, const PipelineResult& r, std::size_t pipe,
                                insulation::ThicknessSteps steps)
{
    ThicknessDesign design{.pipe = pipe};
    const PipelineSegment& s = d.segments[pipe];
    design.construction = s.construction;
    const InsulationConstruction* found = findConstruction(d, s.construction);
    const SegmentRun* run = pipe < r.segments.size() ? &r.segments[pipe] : nullptr;
    const PipeSize* size = findCatalogueRow(s.dn);
    if (s.heatLossSource != HeatLossSource::insulated || found == nullptr) {
        design.problem = "该管段的热损失不按保温做法计算";
    } else if (run == nullptr || run->status == SegmentStatus::notComputed || !(run->p0 > 0) || run->message == kNoStartStateMessage) {
        design.problem = "管段的起点状态未能算出";
    } else if (!s.ambient) {
        design.problem = "请输入管段的环境温度";
    } else if (size == nullptr && !s.outerDiameter) {
        design.problem = "请输入自选管道的外径";
    }
    if (!design.problem.empty()) return design;
    design.medium = run->t0;
    design.ambient = *s.ambient;

    // The construction with its varied layer at some thickness, so that it may have none yet.
    PipelineDocument probe{.constructions = {*found}, .ownMaterials = d.ownMaterials, .insulation = d.insulation};
    InsulationLayer& varied = outermost(probe.constructions[0]);
    design.current = varied.thickness;
    design.twoLayers = &varied == &probe.constructions[0].outer;
    varied.thickness = steps.step;
    const double D0 = size != nullptr ? static_cast<double>(size->waijing) : *s.outerDiameter;
    const auto insulated = pipeInsulation(probe, s, D0, design.ambient);
    if (const auto* why = std::get_if<std::string>(&insulated)) {
        design.problem = *why;
        return design;
    }
    const PipeInsulation& p = std::get<PipeInsulation>(insulated);
    const insulation::Surroundings around{design.medium, design.ambient, p.wind, p.emissivity};
    const insulation::Operation operation = d.insulation.seasonal ? insulation::Operation::seasonal : insulation::Operation::yearRound;
    design.limits = {surfaceLimitOf(d, design.ambient), insulation::allowedHeatLoss(design.medium, operation)};

    const auto least = insulation::leastThickness(p.construction, around, design.limits, steps);
    if (least) design.least = *least;
    else design.leastProblem = least.reason();

    const auto within = [&design](const insulation::HeatLoss& loss) {
        return loss.surfaceTemperature <= design.limits.surfaceTemperature &&
               (!design.limits.allowedLoss || loss.perSquareMetre <= *design.limits.allowedLoss);
    };
    const std::optional<insulation::Prices> prices = pricesOf(d.insulation);
    const auto costed = prices ? insulation::candidateTable(p.construction, around, *prices, steps)
                               : insulation::Outcome<std::vector<insulation::Candidate>>::refused("");
    if (costed) {
        for (const insulation::Candidate& c : *costed) {
            design.trials.push_back({c.thickness, c.loss, within(c.loss), c.heatCost, c.capitalCost, c.yearlyCost});
        }
        const auto economic = insulation::economicThicknessBySearch(p.construction, around, *prices, steps);
        if (economic) design.economic = economic->thickness;
        else design.economicProblem = economic.reason();
        const auto closed = insulation::economicThicknessClosedForm(p.construction, around, *prices, steps.step);
        if (closed) design.closedForm = *closed;
        else design.closedFormProblem = closed.reason();
    } else {
        design.economicProblem = design.closedFormProblem = prices ? std::string(costed.reason()) : "未给出" + missingPrices(d.insulation);
        // The losses of every step all the same, for the engineer to weigh.
        for (int k = 1; k * steps.step <= steps.largest + 1e-9; ++k) {
            const auto loss = insulation::solveHeatLoss(insulation::withOuterThickness(p.construction, k * steps.step), around);
            if (!loss) break;
            design.trials.push_back({k * steps.step, *loss, within(*loss)});
        }
    }
    if (design.economic && design.least) design.chosen = std::max(*design.economic, *design.least);
    else design.chosen = design.least ? design.least : design.economic;
    return design;
}

ThicknessDesign designThicknessInEveryCase(const PipelineDocument& d, const std::vector<PipelineResult>& results,
                                           std::size_t pipe, insulation::ThicknessSteps steps)
{
    ThicknessDesign design = designThickness(d, results.front(), pipe, steps);
    if (results.size() == 1 || !design.problem.empty()) return design;
    design.leastCase = caseName(d, 0);
    for (std::size_t k = 1; k < results.size(); ++k) {
        const std::string name = caseName(d, k);
        const ThicknessDesign other = designThickness(documentForCase(d, k).document, results[k], pipe, steps);
        if (!other.problem.empty()) {
            design.problem = "工况" + quoted(name) + "：" + other.problem;
            return design;
        }
        for (ThicknessTrial& trial : design.trials) {
            const auto same = std::find_if(other.trials.begin(), other.trials.end(),
                                           [&trial](const ThicknessTrial& t) { return t.thickness == trial.thickness; });
            trial.withinLimits = trial.withinLimits && same != other.trials.end() && same->withinLimits;
        }
        if (!design.least) continue;  // no thickness keeps the design case's limits
        if (!other.least) {
            design.least.reset();
            design.leastProblem = "工况" + quoted(name) + "：" + other.leastProblem;
            design.leastCase = name;
        } else if (*other.least > *design.least) {
            design.least = other.least;
            design.leastCase = name;
        }
    }
    if (design.economic && design.least) design.chosen = std::max(*design.economic, *design.least);
    else design.chosen = design.least ? design.least : design.economic;
    return design;
}

ThicknessesApplied applyThicknesses(const PipelineDocument& d, const std::vector<std::pair<std::size_t, std::optional<double>>>& chosen)
{
    PipelineDocument changed = d;
    // The thicknesses each construction's pipes get, in the order the pipes come.
    std::vector<std::string> names;
    std::map<std::string, std::vector<std::pair<std::size_t, std::optional<double>>>> wanted;
    for (const auto& [pipe, thickness] : chosen) {
        const std::string& name = d.segments[pipe].construction;
        if (d.segments[pipe].heatLossSource != HeatLossSource::insulated || findConstruction(d, name) == nullptr) continue;
        if (!wanted.contains(name)) names.push_back(name);
        wanted[name].emplace_back(pipe, thickness);
    }
    for (const std::string& name : names) {
        const auto& pipes = wanted[name];
        InsulationConstruction original = *findConstruction(d, name);
        const std::optional<double> now = outermost(original).thickness;
        // Changed in place when every pipe that uses it gets the same new thickness.
        const std::size_t users = static_cast<std::size_t>(std::count_if(d.segments.begin(), d.segments.end(), [&name](const PipelineSegment& s) {
            return s.heatLossSource == HeatLossSource::insulated && s.construction == name;
        }));
        std::set<double> thicknesses;
        for (const auto& [pipe, thickness] : pipes) {
            if (thickness) thicknesses.insert(*thickness);
        }
        if (thicknesses.empty()) continue;
        if (users == pipes.size() && thicknesses.size() == 1) {
            auto at = std::find_if(changed.constructions.begin(), changed.constructions.end(),
                                   [&name](const InsulationConstruction& c) { return c.name == name; });
            outermost(*at).thickness = *thicknesses.begin();
            continue;
        }
        for (const auto& [pipe, wanted] : pipes) {
            if (!wanted || now == wanted) continue;  // as it is
            const double thickness = *wanted;
            InsulationConstruction copy = original;
            outermost(copy).thickness = thickness;
            copy.name = copyName(changed, copy, name, thickness);
            if (findConstruction(changed, copy.name) == nullptr) {
                if (changed.constructions.size() >= kMostConstructions) {
                    return {d, "保温做法已有 " + std::to_string(kMostConstructions) + " 个，不能再为" + quoted(name) + "添加新的厚度"};
                }
                changed.constructions.push_back(copy);
            }
            changed.segments[pipe].construction = copy.name;
        }
    }
    return {changed, {}};
}

}  // namespace dorvent
