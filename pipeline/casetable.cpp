#include "pipeline/casetable.h"

#include "numtext/formatnumber.h"
#include "pipeline/loadcases.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

constexpr std::string_view kKeys[] = {"", "startPressure", "startTemperature", "factor"};

/// The number a case's cell holds, and where a text typed in its place is kept.
std::optional<double>* numberOf(PipelineDocument& document, std::size_t index, CaseColumn column)
{
    if (index == 0) {
        if (column == CaseColumn::pressure) return &document.startPressure;
        if (column == CaseColumn::temperature) return &document.startTemperature;
        return nullptr;
    }
    LoadCase& c = document.cases[index - 1];
    if (column == CaseColumn::pressure) return &c.startPressure;
    if (column == CaseColumn::temperature) return &c.startTemperature;
    if (column == CaseColumn::factor) return &c.factor;
    return nullptr;
}

std::string shortest(const std::optional<double>& value) { return value ? formatShortest(*value) : std::string(); }

}  // namespace

std::string caseColumnTitle(const PipelineDocument& document, CaseColumn column)
{
    switch (column) {
    case CaseColumn::name: return "工况名称";
    case CaseColumn::pressure: return "起点压力(" + document.pressureUnit + ")";
    case CaseColumn::temperature: return "起点温度(" + document.temperatureUnit + ")";
    case CaseColumn::factor: return "负荷系数";
    }
    return {};
}

std::string caseCellText(const PipelineDocument& document, std::size_t index, CaseColumn column)
{
    if (column == CaseColumn::name) return caseName(document, index);
    if (index == 0) {
        return column == CaseColumn::factor ? "1" : shortest(column == CaseColumn::pressure ? document.startPressure : document.startTemperature);
    }
    const LoadCase& c = document.cases[index - 1];
    const auto kept = c.notNumbers.find(std::string(kKeys[static_cast<std::size_t>(column)]));
    if (kept != c.notNumbers.end()) return kept->second;
    return shortest(column == CaseColumn::pressure ? c.startPressure : column == CaseColumn::temperature ? c.startTemperature : c.factor);
}

bool isCaseEditable(std::size_t index, CaseColumn column) { return index > 0 || column != CaseColumn::factor; }

bool setCaseCellText(PipelineDocument& document, std::size_t index, CaseColumn column, std::string_view text)
{
    if (index >= caseCount(document) || !isCaseEditable(index, column)) return false;
    if (column == CaseColumn::name) {
        const std::string name = trimmed(text);
        if (name.empty() || name.size() > kMostNodeNameBytes) return false;
        const std::size_t other = caseIndex(document, name);
        if (other != caseCount(document) && other != index) return false;
        (index == 0 ? document.designCase : document.cases[index - 1].name) = name;
        return true;
    }
    if (text.size() > kMostCellTextBytes) return false;
    std::optional<double>* number = numberOf(document, index, column);
    const std::optional<double> value = readCellNumber(text);
    if (index == 0) {
        if (!value && !text.empty()) return false;  // the header's boxes keep no text
        *number = value;
        return true;
    }
    LoadCase& c = document.cases[index - 1];
    const std::string key(kKeys[static_cast<std::size_t>(column)]);
    *number = value;
    c.notNumbers.erase(key);
    if (!value && !text.empty()) c.notNumbers[key] = text;  // kept, and marked
    return true;
}

std::string caseCellProblem(const PipelineDocument& document, std::size_t index, CaseColumn column)
{
    if (index == 0 || index >= caseCount(document) || column == CaseColumn::name) return {};
    const LoadCase& c = document.cases[index - 1];
    const auto kept = c.notNumbers.find(std::string(kKeys[static_cast<std::size_t>(column)]));
    if (kept != c.notNumbers.end()) return notNumberReason(kept->second);
    if (column == CaseColumn::factor && c.factor && !(*c.factor > 0)) return "负荷系数应大于 0";
    return {};
}

std::string caseDemandText(const PipelineDocument& document, std::size_t index, const std::string& node)
{
    if (index == 0 || index >= caseCount(document)) return {};
    const LoadCase& c = document.cases[index - 1];
    if (const auto text = c.demandTexts.find(node); text != c.demandTexts.end()) return text->second;
    if (const auto demand = c.demands.find(node); demand != c.demands.end()) return formatShortest(demand->second);
    return {};
}

std::optional<double> caseDemand(const PipelineDocument& document, std::size_t index, const std::string& node)
{
    const NetworkNode* data = findNode(document, node);
    const std::optional<double> design = data != nullptr ? data->demand : std::nullopt;
    if (index == 0 || index >= caseCount(document)) return design;
    const LoadCase& c = document.cases[index - 1];
    if (c.demandTexts.count(node) != 0) return std::nullopt;
    if (const auto demand = c.demands.find(node); demand != c.demands.end()) return demand->second;
    return design ? std::optional(scaledDemand(*design, caseFactor(document, index))) : std::nullopt;
}

bool setCaseDemandText(PipelineDocument& document, std::size_t index, const std::string& node, std::string_view text)
{
    if (index == 0 || index >= caseCount(document) || text.size() > kMostCellTextBytes) return false;
    LoadCase& c = document.cases[index - 1];
    c.demands.erase(node);
    c.demandTexts.erase(node);
    if (const std::optional<double> value = readCellNumber(text)) {
        c.demands[node] = *value;
    } else if (!text.empty()) {
        c.demandTexts[node] = std::string(text);
    }
    return true;
}

}  // namespace dorvent
