#include "pipeline/constructiontable.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "insulation/jackets.h"
#include "insulation/materials.h"
#include "numtext/formatnumber.h"
#include "pipeline/pipeinsulation.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

constexpr std::array<std::array<std::string_view, 2>, kConstructionColumnCount> kConstructionHeaders = {{
    {"名称", ""}, {"内层材料", ""}, {"内层厚度", "mm"}, {"外层材料", ""}, {"外层厚度", "mm"}, {"外护层", ""},
    {"黑度", ""}, {"风速", "m/s"}, {"使用管段", ""},
}};

constexpr std::array<std::array<std::string_view, 2>, kMaterialColumnCount> kMaterialHeaders = {{
    {"名称", ""}, {"a", "W/(m·K)"}, {"b", "W/(m·K²)"}, {"c", "W/(m·K³)"}, {"推荐使用温度", "℃"}, {"使用做法", ""},
}};

constexpr std::size_t kPipesListed = 10;  // in a cell or a message; the rest are counted

std::string quoted(std::string_view name) { return "“" + std::string(name) + "”"; }
std::string shortest(const std::optional<double>& value) { return value ? formatShortest(*value) : std::string(); }

/// A value the program works out, without the last bits of a binary fraction: 0.225, not
/// 0.22499999999999998 for the middle of 0.15 and 0.3.
std::string tidy(const std::optional<double>& value)
{
    if (!value) return {};
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *value, std::chars_format::general, 10).ptr;
    double tidied = *value;
    std::from_chars(text, end, tidied);
    return formatShortest(tidied);
}

/// Why a name cannot be given; empty when it can.
std::string nameProblem(const std::string& name)
{
    if (name.empty()) return "名称不应为空";
    if (name.size() > kMostNodeNameBytes) return "名称过长，最多 20 个汉字";
    return {};
}

/// A typed number for an input that may be empty, within (low, high] or [low, high]; or why not.
std::string readInput(std::string_view text, std::optional<double>& out, double low, bool lowIncluded, double high,
                      std::string_view range)
{
    const std::string typed = trimmed(text);
    if (typed.empty()) {
        out.reset();
        return {};
    }
    const std::optional<double> value = readCellNumber(typed);
    if (!value) return notNumberReason(typed);
    if (*value < low || (!lowIncluded && *value == low) || *value > high) return std::string(range);
    out = value;
    return {};
}

/// A label cut to a few characters on one line, as the row headers show it.
std::string shortLabel(const std::string& label)
{
    std::string line;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < label.size(); ++i) {
        const auto byte = static_cast<unsigned char>(label[i]);
        if ((byte & 0xC0) != 0x80 && ++characters > 12) return trimmed(line) + "…";
        line += byte < 0x20 || byte == 0x7F ? ' ' : label[i];
    }
    return trimmed(line);
}

}  // namespace

std::array<std::string_view, 2> constructionColumnHeader(ConstructionColumn column)
{
    return kConstructionHeaders[static_cast<std::size_t>(column)];
}

std::array<std::string_view, 2> materialColumnHeader(MaterialColumn column)
{
    return kMaterialHeaders[static_cast<std::size_t>(column)];
}

std::string constructionInputText(const PipelineDocument& d, std::size_t index, ConstructionColumn column)
{
    const InsulationConstruction& c = d.constructions[index];
    switch (column) {
    case ConstructionColumn::name: return c.name;
    case ConstructionColumn::innerMaterial: return c.inner.material;
    case ConstructionColumn::innerThickness: return shortest(c.inner.thickness);
    case ConstructionColumn::outerMaterial: return c.outer.material;
    case ConstructionColumn::outerThickness: return shortest(c.outer.thickness);
    case ConstructionColumn::jacket: return c.jacket;
    case ConstructionColumn::emissivity: return shortest(c.emissivity);
    case ConstructionColumn::wind: return shortest(c.wind);
    case ConstructionColumn::pipes: return pipeList(d, pipesUsing(d, c.name));
    }
    return {};
}

std::string constructionCellText(const PipelineDocument& d, std::size_t index, ConstructionColumn column)
{
    if (column == ConstructionColumn::emissivity) return tidy(emissivityOf(d.constructions[index]));
    return constructionInputText(d, index, column);
}

std::string materialCellText(const PipelineDocument& d, std::size_t index, MaterialColumn column)
{
    const OwnMaterial& m = d.ownMaterials[index];
    switch (column) {
    case MaterialColumn::name: return m.name;
    case MaterialColumn::a: return shortest(m.a);
    case MaterialColumn::b: return shortest(m.b);
    case MaterialColumn::c: return shortest(m.c);
    case MaterialColumn::useUpTo: return shortest(m.useUpTo);
    case MaterialColumn::constructions: {
        std::string names;
        for (const std::string& name : constructionsUsing(d, m.name)) names += (names.empty() ? "" : "、") + name;
        return names;
    }
    }
    return {};
}

std::string setConstructionCellText(PipelineDocument& d, std::size_t index, ConstructionColumn column, std::string_view text)
{
    InsulationConstruction& c = d.constructions[index];
    const auto material = [&d](std::string_view typed, std::string& out) -> std::string {
        const std::string name = trimmed(typed);
        if (!name.empty() && !insulation::findMaterial(name) && findOwnMaterial(d, name) == nullptr) {
            return "没有名为" + quoted(name) + "的保温材料";
        }
        out = name;
        return {};
    };
    constexpr std::string_view thickness = "厚度应大于 0 且不大于 1000 mm";
    switch (column) {
    case ConstructionColumn::name: {
        const std::string name = trimmed(text);
        if (std::string why = nameProblem(name); !why.empty()) return "保温做法的" + why;
        if (name == c.name) return {};
        if (findConstruction(d, name) != nullptr) return "已有名为" + quoted(name) + "的保温做法";
        for (PipelineSegment& s : d.segments) {
            if (s.construction == c.name) s.construction = name;
        }
        c.name = name;
        return {};
    }
    case ConstructionColumn::innerMaterial: return material(text, c.inner.material);
    case ConstructionColumn::outerMaterial: return material(text, c.outer.material);
    case ConstructionColumn::innerThickness: return readInput(text, c.inner.thickness, 0, false, kThickestLayer, thickness);
    case ConstructionColumn::outerThickness: return readInput(text, c.outer.thickness, 0, false, kThickestLayer, thickness);
    case ConstructionColumn::jacket: {
        const std::string name = trimmed(text);
        if (!name.empty() && !insulation::findJacket(name)) return "没有名为" + quoted(name) + "的外护层";
        c.jacket = name;
        return {};
    }
    case ConstructionColumn::emissivity: return readInput(text, c.emissivity, 0, false, 1, "黑度应大于 0 且不大于 1");
    case ConstructionColumn::wind: return readInput(text, c.wind, 0, true, 100, "风速应在 0 至 100 m/s 之间");
    case ConstructionColumn::pipes: break;
    }
    return "使用管段由管段表中的热损失取值决定";
}

std::string setMaterialCellText(PipelineDocument& d, std::size_t index, MaterialColumn column, std::string_view text)
{
    OwnMaterial& m = d.ownMaterials[index];
    switch (column) {
    case MaterialColumn::name: {
        const std::string name = trimmed(text);
        if (std::string why = nameProblem(name); !why.empty()) return "材料的" + why;
        if (name == m.name) return {};
        if (insulation::findMaterial(name)) return quoted(name) + "是内置材料的名称";
        if (findOwnMaterial(d, name) != nullptr) return "已有名为" + quoted(name) + "的自定义材料";
        for (InsulationConstruction& c : d.constructions) {
            for (InsulationLayer* layer : {&c.inner, &c.outer}) {
                if (layer->material == m.name) layer->material = name;
            }
        }
        m.name = name;
        return {};
    }
    case MaterialColumn::a: return readInput(text, m.a, -kLargestNumber, true, kLargestNumber, {});  // any number a
    case MaterialColumn::b: return readInput(text, m.b, -kLargestNumber, true, kLargestNumber, {});  // document holds
    case MaterialColumn::c: return readInput(text, m.c, -kLargestNumber, true, kLargestNumber, {});
    case MaterialColumn::useUpTo:
        return readInput(text, m.useUpTo, -273.15, false, 2000, "推荐使用温度应高于 -273.15 ℃ 且不高于 2000 ℃");
    case MaterialColumn::constructions: break;
    }
    return "使用做法由保温做法表中的材料决定";
}

std::vector<std::size_t> pipesUsing(const PipelineDocument& d, std::string_view construction)
{
    std::vector<std::size_t> pipes;
    for (std::size_t i = 0; i < d.segments.size(); ++i) {
        const PipelineSegment& s = d.segments[i];
        if (s.heatLossSource == HeatLossSource::insulated && s.construction == construction) pipes.push_back(i);
    }
    return pipes;
}

std::string pipeList(const PipelineDocument& d, const std::vector<std::size_t>& pipes)
{
    std::string list;
    for (std::size_t k = 0; k < pipes.size() && k < kPipesListed; ++k) {
        const std::string label = shortLabel(d.segments[pipes[k]].label);
        list += (k == 0 ? "" : "、") + std::to_string(pipes[k] + 1) + (label.empty() ? "" : " " + label);
    }
    if (pipes.size() > kPipesListed) list += " 等共 " + std::to_string(pipes.size()) + " 段";
    return list;
}

std::vector<std::string> constructionsUsing(const PipelineDocument& d, std::string_view material)
{
    std::vector<std::string> names;
    for (const InsulationConstruction& c : d.constructions) {
        if (c.inner.material == material || c.outer.material == material) names.push_back(c.name);
    }
    return names;
}

std::string constructionInUse(const PipelineDocument& d, std::string_view construction)
{
    const std::vector<std::size_t> pipes = pipesUsing(d, construction);
    if (pipes.empty()) return {};
    return "保温做法" + quoted(construction) + "正被管段 " + pipeList(d, pipes) + " 使用，不能删除";
}

std::string materialInUse(const PipelineDocument& d, std::string_view material)
{
    const std::vector<std::string> users = constructionsUsing(d, material);
    if (users.empty()) return {};
    std::string names;
    for (const std::string& name : users) names += (names.empty() ? "" : "、") + quoted(name);
    return "材料" + quoted(material) + "正被保温做法" + names + "使用，不能删除";
}

std::string newConstructionName(const PipelineDocument& d)
{
    for (std::size_t n = 1;; ++n) {
        std::string name = "保温做法" + std::to_string(n);
        if (findConstruction(d, name) == nullptr) return name;
    }
}

std::string newMaterialName(const PipelineDocument& d)
{
    for (std::size_t n = 1;; ++n) {
        std::string name = "材料" + std::to_string(n);
        if (findOwnMaterial(d, name) == nullptr) return name;
    }
}

}  // namespace dorvent
