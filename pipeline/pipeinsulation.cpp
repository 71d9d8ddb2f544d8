#include "pipeline/pipeinsulation.h"

#include "insulation/allowedloss.h"
#include "insulation/jackets.h"
#include "insulation/limits.h"
#include "insulation/materials.h"
#include "numtext/decimalsum.h"
#include "numtext/formatnumber.h"

namespace dorvent {
namespace {

std::string quoted(const std::string& name) { return "“" + name + "”"; }

/// The material of that name: built in, or of the document's own; or why there is none.
std::variant<insulation::Material, std::string> materialOf(const PipelineDocument& d, const std::string& name)
{
    if (const auto builtIn = insulation::findMaterial(name)) return *builtIn;
    const OwnMaterial* own = findOwnMaterial(d, name);
    if (own == nullptr) return "材料" + quoted(name) + "不存在";
    if (!own->a || !own->b || !own->c) return "自定义材料" + quoted(name) + "的导热系数未给全";
    if (!own->useUpTo) return "自定义材料" + quoted(name) + "的推荐使用温度未给出";
    return insulation::ownMaterial(*own->a, *own->b, *own->c, *own->useUpTo);
}

/// A layer as the solve takes it, or why it cannot, to be said after the construction's name.
std::variant<insulation::Layer, std::string> layerOf(const PipelineDocument& d, const InsulationLayer& layer,
                                                     const std::string& which)
{
    if (layer.material.empty()) return "的" + which + "材料未给出";
    if (!layer.thickness) return "的" + which + "厚度未给出";
    auto material = materialOf(d, layer.material);
    if (const auto* why = std::get_if<std::string>(&material)) return "：" + *why;
    return insulation::Layer{std::get<insulation::Material>(material), *layer.thickness};
}

void add(std::string& text, const std::string& sentence)
{
    if (!text.empty()) text += "；";
    text += sentence;
}

}  // namespace

std::optional<double> emissivityOf(const InsulationConstruction& c)
{
    if (c.emissivity) return c.emissivity;
    // The middle of the jacket's range, added as decimals: 0.225 for 0.15 to 0.3, not 0.22499999999999998.
    if (const auto jacket = insulation::findJacket(c.jacket)) return addDecimals(jacket->emissivityLow, jacket->emissivityHigh) / 2;
    return std::nullopt;
}

double surfaceLimitOf(const PipelineDocument& d, double ambient)
{
    return d.insulation.surfaceLimit.value_or(insulation::surfaceTemperatureLimit(ambient));
}

std::variant<PipeInsulation, std::string> pipeInsulation(const PipelineDocument& d, const PipelineSegment& s,
                                                         double pipeDiameter, double ambient)
{
    if (s.construction.empty()) return std::string("请选择保温做法");
    const InsulationConstruction* c = findConstruction(d, s.construction);
    const std::string name = "保温做法" + quoted(s.construction);
    if (c == nullptr) return name + "不存在";
    PipeInsulation pipe{.construction = {.pipeDiameter = pipeDiameter, .inner = {}, .outer = {}}, .ambient = ambient};
    auto inner = layerOf(d, c->inner, "内层");
    if (const auto* why = std::get_if<std::string>(&inner)) return name + *why;
    pipe.construction.inner = std::get<insulation::Layer>(inner);
    if (!c->outer.material.empty() || c->outer.thickness) {  // a second layer, once either is given
        auto outer = layerOf(d, c->outer, "外层");
        if (const auto* why = std::get_if<std::string>(&outer)) return name + *why;
        pipe.construction.outer = std::get<insulation::Layer>(outer);
    }
    const std::optional<double> emissivity = emissivityOf(*c);
    if (!emissivity) return name + "未给出外护层或黑度";
    if (!c->wind) return name + "未给出风速";
    pipe.emissivity = *emissivity;
    pipe.wind = *c->wind;
    return pipe;
}

insulation::Outcome<InsulationCheck> checkInsulation(const PipelineDocument& d, const PipeInsulation& pipe, double t)
{
    const auto loss = pipe.at(t);
    if (!loss) return insulation::Outcome<InsulationCheck>::refused(loss.reason());
    const insulation::Operation operation = d.insulation.seasonal ? insulation::Operation::seasonal : insulation::Operation::yearRound;
    const insulation::Limits limits{surfaceLimitOf(d, pipe.ambient), insulation::allowedHeatLoss(t, operation)};
    const insulation::Surroundings around{t, pipe.ambient, pipe.wind, pipe.emissivity};
    const insulation::Findings found = insulation::checkLimits(pipe.construction, around, *loss, limits);

    InsulationCheck check{.surface = loss->surfaceTemperature, .perMetre = loss->perMetre,
                          .perSquareMetre = loss->perSquareMetre, .allowed = limits.allowedLoss,
                          .surfaceTooHot = found.surfaceTooHot, .lossTooHigh = found.lossTooHigh || found.lossUnchecked};
    if (found.surfaceTooHot) {
        add(check.warnings, "表面温度 " + apartFrom(loss->surfaceTemperature, limits.surfaceTemperature) + " ℃ 高于限值 " +
                                formatShortest(limits.surfaceTemperature) + " ℃");
    }
    if (found.lossTooHigh) {
        add(check.warnings, "热损失 " + apartFrom(loss->perSquareMetre, *limits.allowedLoss) + " W/m² 高于允许的 " +
                                formatFixed(*limits.allowedLoss, 3) + " W/m²");
    }
    if (found.lossUnchecked) {
        add(check.warnings, "蒸汽温度 " + formatFixed(t, 3) + " ℃ 超出最大允许热损失表的范围，热损失未能校核");
    }
    if (found.innerLayerTooHot) {
        add(check.warnings, "蒸汽温度 " + apartFrom(t, pipe.construction.inner.material.useUpTo) + " ℃ 高于内层材料的推荐使用温度 " +
                                formatShortest(pipe.construction.inner.material.useUpTo) + " ℃");
    }
    if (pipe.construction.outer) {
        const double limit = pipe.construction.outer->material.useUpTo;
        if (found.outerLayerTooHot) {
            add(check.warnings, "界面温度 " + apartFrom(loss->interfaceTemperature, limit) + " ℃ 高于外层材料的推荐使用温度 " +
                                    formatShortest(limit) + " ℃");
        } else if (found.interfaceTooHot) {
            add(check.warnings, "界面温度 " + apartFrom(loss->interfaceTemperature, 0.9 * limit) +
                                    " ℃ 高于外层材料推荐使用温度的 0.9 倍 " + formatShortest(0.9 * limit) + " ℃");
        }
    }
    return check;
}

}  // namespace dorvent
