#include "pipeline/loadcases.h"

#include <algorithm>
#include <cmath>

#include "pipeline/nodetable.h"

namespace dorvent {
namespace {

/// Why a case's number input holds none, or is not fit to compute: empty when it is.
std::string caseProblem(const LoadCase& c)
{
    static constexpr std::pair<std::string_view, std::string_view> kInputs[] = {
        {"startPressure", "起点压力"}, {"startTemperature", "起点温度"}, {"factor", "负荷系数"}};
    for (const auto& [key, title] : kInputs) {
        if (const auto kept = c.notNumbers.find(std::string(key)); kept != c.notNumbers.end()) {
            return "工况“" + c.name + "”的" + std::string(title) + notNumberReason(kept->second);
        }
    }
    if (c.factor && !(*c.factor > 0)) return "工况“" + c.name + "”的负荷系数应大于 0";
    if (!c.demandTexts.empty()) {
        const auto& [node, text] = *c.demandTexts.begin();
        return "工况“" + c.name + "”中节点“" + node + "”的用汽量" + notNumberReason(text);
    }
    return {};
}

}  // namespace

double scaledDemand(double value, double factor)
{
    // Nine decimals are more than any flow is typed with, and keep a sum of scaled demands the
    // sum written by hand (addDecimals); a number too large for them is kept as it is.
    const double product = value * factor;
    return std::fabs(product) < 1e6 ? std::round(product * 1e9) / 1e9 : product;
}

const std::string& caseName(const PipelineDocument& document, std::size_t index)
{
    return index == 0 ? document.designCase : document.cases.at(index - 1).name;
}

std::size_t caseIndex(const PipelineDocument& document, std::string_view name)
{
    for (std::size_t k = 0; k < caseCount(document); ++k) {
        if (caseName(document, k) == name) return k;
    }
    return caseCount(document);
}

double caseFactor(const PipelineDocument& document, std::size_t index)
{
    return index == 0 ? 1.0 : document.cases.at(index - 1).factor.value_or(1.0);
}

CaseDocument documentForCase(const PipelineDocument& document, std::size_t index)
{
    CaseDocument out{.document = document, .problem = {}};
    PipelineDocument& d = out.document;
    d.cases.clear();
    if (index == 0) return out;
    const LoadCase& c = document.cases.at(index - 1);
    d.designCase = c.name;
    if (c.startPressure) d.startPressure = c.startPressure;
    if (c.startTemperature) d.startTemperature = c.startTemperature;
    out.problem = caseProblem(c);
    if (!out.problem.empty()) {
        d.startPressure.reset();
        return out;
    }
    const double factor = c.factor.value_or(1.0);
    for (PipelineSegment& s : d.segments) {
        if (s.flow) s.flow = scaledDemand(*s.flow, factor);
    }
    for (NetworkNode& node : d.nodes) {
        if (node.demand) node.demand = scaledDemand(*node.demand, factor);
    }
    for (const auto& [name, demand] : c.demands) {
        auto it = std::ranges::find(d.nodes, name, &NetworkNode::name);
        if (it == d.nodes.end()) it = d.nodes.insert(d.nodes.end(), NetworkNode{.name = name});
        it->demand = demand;
        it->notNumbers.erase("demand");  // the case's own demand stands in for the design's text
    }
    return out;
}

bool usesCases(const PipelineDocument& document)
{
    return !document.cases.empty() || document.designCase != kDesignCaseName;
}

PipelineResult calculateCase(const PipelineDocument& document, std::size_t index)
{
    if (index == 0) return calculatePipeline(document);
    const CaseDocument one = documentForCase(document, index);
    PipelineResult result = calculatePipeline(one.document);
    if (!one.problem.empty()) result.startMessage = one.problem;
    return result;
}

std::vector<PipelineResult> calculateCases(const PipelineDocument& document)
{
    std::vector<PipelineResult> results;
    results.reserve(caseCount(document));
    for (std::size_t k = 0; k < caseCount(document); ++k) results.push_back(calculateCase(document, k));
    return results;
}

std::string newCaseName(const PipelineDocument& document, std::string_view base)
{
    const auto free = [&document](const std::string& name) { return caseIndex(document, name) == caseCount(document); };
    if (!base.empty()) {
        for (int n = 1;; ++n) {
            const std::string name = std::string(base) + "副本" + (n == 1 ? "" : std::to_string(n));
            if (free(name)) return name;
        }
    }
    for (std::size_t n = caseCount(document) + 1;; ++n) {
        const std::string name = "工况" + std::to_string(n);
        if (free(name)) return name;
    }
}

void renameCaseDemands(PipelineDocument& document, const std::string& from, const std::string& to)
{
    if (from == to) return;
    const auto rename = [&from, &to](auto& byNode) {
        byNode.erase(to);  // what was kept for a node of that name that no pipe names gives way
        if (auto entry = byNode.extract(from)) {
            entry.key() = to;
            byNode.insert(std::move(entry));
        }
    };
    for (LoadCase& c : document.cases) {
        rename(c.demands);
        rename(c.demandTexts);
    }
}

bool allCasesMet(const std::vector<PipelineResult>& results)
{
    return std::all_of(results.begin(), results.end(), [](const PipelineResult& r) {
        return r.startMessage.empty() && r.allComputed && requirementsMet(r) && insulationLimitsMet(r);
    });
}

}  // namespace dorvent
