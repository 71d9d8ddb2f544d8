#include "pipeline/casecomparison.h"

#include <functional>
#include <optional>

#include "numtext/formatnumber.h"
#include "pipeline/loadcases.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

std::string fixed3(const std::optional<double>& value) { return value ? formatFixed(*value, 3) : std::string(); }

/// A quantity of the comparison: its title, how a row gives it, and whether the worst is the highest.
template <typename Row>
struct Quantity {
    std::string_view title;
    std::function<std::optional<double>(const Row&)> value;
    bool worstHighest = false;
};

/// Appends the rows of one consumer or pipe, a row per case, and marks the worst case of each
/// quantity: the first of equal ones; where some cases give no value, their remarks instead.
template <typename Row>
void appendGroup(ComparisonTable& table, const std::vector<Quantity<Row>>& quantities, const std::vector<Row>& perCase,
                 const std::function<std::vector<std::string>(std::size_t)>& leading,
                 const std::function<std::string(std::size_t)>& trailing)
{
    const std::size_t first = table.rows.size();
    for (std::size_t k = 0; k < perCase.size(); ++k) {
        std::vector<std::string> row = leading(k);
        for (const Quantity<Row>& q : quantities) row.push_back(fixed3(q.value(perCase[k])));
        row.push_back(trailing(k));
        table.rows.push_back(std::move(row));
        table.worst.emplace_back(table.rows.back().size(), false);
        table.groupStart.push_back(k == 0);
    }
    const std::size_t offset = table.rows[first].size() - quantities.size() - 1;
    for (std::size_t q = 0; q < quantities.size(); ++q) {
        std::optional<std::size_t> worst;
        std::vector<std::size_t> without;  // the cases that give no value
        for (std::size_t k = 0; k < perCase.size(); ++k) {
            const std::optional<double> v = quantities[q].value(perCase[k]);
            if (!v) {
                without.push_back(k);
                continue;
            }
            const std::optional<double> w = worst ? quantities[q].value(perCase[*worst]) : std::nullopt;
            if (!w || (quantities[q].worstHighest ? *v > *w : *v < *w)) worst = k;
        }
        if (!worst) continue;
        // A case that gets no value where another does (its steam does not arrive, its pipe does
        // not compute) is the worst: its remark is marked, not the least of the others.
        for (const std::size_t k : without) table.worst[first + k].back() = true;
        if (without.empty() && perCase.size() > 1) table.worst[first + *worst][offset + q] = true;
    }
}

/// The nodes that take steam: the ends of the tree, and every node with a demand or a requirement.
bool takesSteam(const PipelineDocument& document, const NodeRun& node)
{
    const NetworkNode* data = findNode(document, node.name);
    return node.kind == NodeKind::consumer ||
           (data != nullptr && (data->demand || data->requiredPressure || data->requiredTemperature));
}

std::string pipeTitle(const PipelineDocument& document, std::size_t pipe)
{
    const std::string& label = document.segments[pipe].label;
    return label.empty() ? "管段 " + std::to_string(pipe + 1) : label;
}

/// A pipe's warnings and notes in one text.
std::string warningsOf(const SegmentRun& run)
{
    std::string text;
    const auto add = [&text](const std::string& note) {
        if (!note.empty()) text += (text.empty() ? "" : "；") + note;
    };
    if (run.status != SegmentStatus::computed) return run.message;
    add(run.velocityAboveBand ? run.velocityNote : std::string());
    add(run.superheatNote);
    add(run.flowNote);
    if (run.insulation) {
        add(run.insulation->warnings);
    }
    return text;
}

/// The key by which a consumer is more critical: no steam first, then the least pressure margin,
/// then the least pressure.
std::tuple<int, double> criticalKey(const NodeRun& node)
{
    if (!node.computed) return {0, 0.0};
    return node.pressureMargin ? std::tuple(1, *node.pressureMargin) : std::tuple(2, node.p);
}

std::string criticalText(const NodeRun& node)
{
    if (!node.computed) return node.name + "，" + (node.message.empty() ? std::string("未计算") : node.message);
    std::string text = node.name + "，压力 " + formatFixed(node.p, 3) + " MPa";
    if (node.pressureMargin) text += "，压力裕量 " + formatFixed(*node.pressureMargin, 3) + " MPa";
    return text;
}

void appendCsv(std::string& csv, const ComparisonTable& table)
{
    const auto line = [&csv](const std::vector<std::string>& fields, bool typed) {
        for (std::size_t c = 0; c < fields.size(); ++c) {
            csv += (c == 0 ? "" : ",") + csvField(typed && c == 0 ? spreadsheetText(fields[c]) : fields[c]);
        }
        csv += "\r\n";
    };
    line(table.header, false);
    for (const auto& row : table.rows) line(row, true);
}

}  // namespace

ComparisonTable consumerComparison(const PipelineDocument& document, const std::vector<PipelineResult>& results)
{
    const bool wet = document.temperatureLaw == TemperatureLaw::enthalpyBalance;
    std::vector<Quantity<NodeRun>> quantities = {
        {"压力(MPa)", [](const NodeRun& n) { return n.computed ? std::optional(n.p) : std::nullopt; }},
        {"温度(℃)", [](const NodeRun& n) { return n.computed ? std::optional(n.t) : std::nullopt; }},
        {"过热度(℃)", [](const NodeRun& n) { return n.computed ? n.superheat : std::nullopt; }},
    };
    if (wet) quantities.push_back({"干度", [](const NodeRun& n) { return n.computed ? std::optional(n.dryness.value_or(1.0)) : std::nullopt; }});
    quantities.push_back({"压力裕量(MPa)", [](const NodeRun& n) { return n.computed ? n.pressureMargin : std::nullopt; }});
    quantities.push_back({"温度裕量(℃)", [](const NodeRun& n) { return n.computed ? n.temperatureMargin : std::nullopt; }});

    ComparisonTable table;
    table.header = {"用户", "工况", "用汽量(t/h)"};
    for (const auto& q : quantities) table.header.emplace_back(q.title);
    table.header.emplace_back("备注");
    if (results.empty()) return table;
    std::vector<PipelineDocument> cases;
    for (std::size_t k = 0; k < results.size(); ++k) cases.push_back(documentForCase(document, k).document);
    for (std::size_t n = 0; n < results.front().nodes.size(); ++n) {
        if (!takesSteam(document, results.front().nodes[n])) continue;
        std::vector<NodeRun> perCase;
        for (const PipelineResult& r : results) perCase.push_back(n < r.nodes.size() ? r.nodes[n] : NodeRun{});
        appendGroup<NodeRun>(
            table, quantities, perCase,
            [&](std::size_t k) {
                return std::vector<std::string>{perCase[k].name, caseName(document, k),
                                                nodeCellText(cases[k], perCase[k], NodeColumn::demand)};
            },
            [&](std::size_t k) { return nodeCellText(cases[k], perCase[k], NodeColumn::remark); });
    }
    return table;
}

ComparisonTable pipeComparison(const PipelineDocument& document, const std::vector<PipelineResult>& results)
{
    const auto computed = [](const SegmentRun& r) { return r.status == SegmentStatus::computed; };
    const std::vector<Quantity<SegmentRun>> quantities = {
        {"流速(m/s)", [computed](const SegmentRun& r) { return computed(r) ? std::optional(r.velocity) : std::nullopt; }, true},
        {"压降(MPa)", [computed](const SegmentRun& r) { return computed(r) ? std::optional(r.pressureDrop) : std::nullopt; }, true},
        {"末端温度(℃)", [computed](const SegmentRun& r) { return computed(r) ? std::optional(r.tend) : std::nullopt; }},
        {"末端过热度(℃)", [computed](const SegmentRun& r) { return computed(r) ? r.superheat : std::nullopt; }},
    };
    ComparisonTable table;
    table.header = {"管段", "工况", "流量(t/h)"};
    for (const auto& q : quantities) table.header.emplace_back(q.title);
    table.header.emplace_back("警告");
    if (results.empty()) return table;
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        if (isBlank(document.segments[i])) continue;
        std::vector<SegmentRun> perCase;
        for (const PipelineResult& r : results) perCase.push_back(i < r.segments.size() ? r.segments[i] : SegmentRun{});
        appendGroup<SegmentRun>(
            table, quantities, perCase,
            [&](std::size_t k) {
                return std::vector<std::string>{pipeTitle(document, i), caseName(document, k),
                                                perCase[k].flow ? formatShortest(*perCase[k].flow) : std::string()};
            },
            [&](std::size_t k) { return warningsOf(perCase[k]); });
    }
    return table;
}

std::vector<std::string> criticalLines(const PipelineDocument& document, const std::vector<PipelineResult>& results)
{
    std::vector<std::string> lines;
    std::optional<std::pair<std::size_t, std::size_t>> overall;  // case, node
    std::optional<std::size_t> unsolved;  // a case whose network was not solved: no node of it is known
    for (std::size_t k = 0; k < results.size(); ++k) {
        const PipelineResult& r = results[k];
        if (r.solve && !r.solve->converged) {
            lines.push_back(caseName(document, k) + "：管网未能求解（" + r.solve->message + "）");
            if (!unsolved) unsolved = k;
            continue;
        }
        if (!r.critical) {
            lines.push_back(caseName(document, k) + "：" + (r.startMessage.empty() ? "无" : r.startMessage));
            continue;
        }
        const NodeRun& node = r.nodes[*r.critical];
        lines.push_back(caseName(document, k) + "：" + criticalText(node));
        if (!overall || criticalKey(node) < criticalKey(results[overall->first].nodes[overall->second])) overall = {k, *r.critical};
    }
    if (unsolved && results.size() > 1) {
        lines.push_back("全部工况：不能判定，" + caseName(document, *unsolved) + "的管网未能求解");
    } else if (overall && results.size() > 1) {
        lines.push_back("全部工况：" + criticalText(results[overall->first].nodes[overall->second]) + "（" +
                        caseName(document, overall->first) + "）");
    }
    return lines;
}

std::string csvComparison(const PipelineDocument& document, const std::vector<PipelineResult>& results)
{
    std::string csv;
    appendCsv(csv, consumerComparison(document, results));
    csv += "\r\n";
    appendCsv(csv, pipeComparison(document, results));
    return csv;
}

}  // namespace dorvent
