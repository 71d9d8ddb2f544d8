#include "pipeline/nodetable.h"

#include <algorithm>

#include "numtext/formatnumber.h"
#include "pipeline/loadcases.h"
#include "pipeline/networklayout.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

constexpr std::size_t kEveryNodeColumn = static_cast<std::size_t>(kAllNodeColumnCount);

constexpr std::array<std::string_view, kEveryNodeColumn> kTitles = {
    "节点", "类型", "用汽量(t/h)", "要求压力(MPa)", "要求温度(℃)", "压力(MPa)", "温度(℃)", "饱和温度(℃)",
    "过热度(℃)", "压力裕量(MPa)", "温度裕量(℃)", "说明", "干度", "凝结水(t/h)",
    "热源", "热源压力(MPa)", "热源温度(℃)", "热源流量(t/h)", "汽源份额",
};

constexpr std::array<std::array<std::string_view, 2>, kEveryNodeColumn> kHeaders = {{
    {"节点", ""}, {"类型", ""}, {"用汽量", "t/h"}, {"要求压力", "MPa"}, {"要求温度", "℃"}, {"压力", "MPa"},
    {"温度", "℃"}, {"饱和温度", "℃"}, {"过热度", "℃"}, {"压力裕量", "MPa"}, {"温度裕量", "℃"}, {"说明", ""},
    {"干度", ""}, {"凝结水", "t/h"},
    {"热源", ""}, {"热源压力", "MPa"}, {"热源温度", "℃"}, {"热源流量", "t/h"}, {"汽源份额", ""},
}};

/// The number a node's column holds and its key in notNumbers and the file.
std::optional<std::pair<std::optional<double> NetworkNode::*, std::string_view>> needOf(NodeColumn column)
{
    switch (column) {
    case NodeColumn::demand: return {{&NetworkNode::demand, "demand"}};
    case NodeColumn::requiredPressure: return {{&NetworkNode::requiredPressure, "requiredPressure"}};
    case NodeColumn::requiredTemperature: return {{&NetworkNode::requiredTemperature, "requiredTemperature"}};
    case NodeColumn::sourcePressure: return {{&NetworkNode::sourcePressure, "sourcePressure"}};
    case NodeColumn::sourceTemperature: return {{&NetworkNode::sourceTemperature, "sourceTemperature"}};
    case NodeColumn::sourceFlow: return {{&NetworkNode::sourceFlow, "sourceFlow"}};
    default: return std::nullopt;
    }
}

std::string fixed3(const std::optional<double>& value) { return value ? formatFixed(*value, 3) : std::string(); }

std::string remarkOf(const NodeRun& node)
{
    if (!node.computed) return node.message;
    // Wet steam has no superheat at all: said so, with its dryness, where superheat is wanted.
    const std::string superheat =
        node.dryness ? "过热度不足：到达的是湿蒸汽（干度 " + formatFixed(*node.dryness, 3) + "）" : std::string("过热度不足");
    std::string remark;
    for (const auto& [shortOf, text] : {std::pair(node.pressureShort, std::string("压力不足")),
                                        std::pair(node.temperatureShort, std::string("温度不足")),
                                        std::pair(node.superheatShort, superheat)}) {
        if (shortOf) remark += (remark.empty() ? "" : "；") + text;
    }
    return remark;
}

/// Where a node's steam comes from: "一厂 48.4%，二厂 51.6%"; what a source delivers.
std::string feedersOf(const PipelineResult& result, const NodeRun& node)
{
    for (const SourceRun& source : result.sources) {
        if (&result.nodes[source.node] == &node && node.computed) {
            return "供汽 " + formatFixed(source.flow, 3) + " t/h，焓流量 " + formatFixed(source.heatKw, 3) + " kW";
        }
    }
    if (!node.computed) return {};
    std::string text;
    for (std::size_t k = 0; k < node.shares.size() && k < result.sources.size(); ++k) {
        if (node.shares[k] < 0.0005) continue;  // less than shows
        text += (text.empty() ? "" : "，") + result.nodes[result.sources[k].node].name + " " + formatFixed(100 * node.shares[k], 1) + "%";
    }
    return text;
}

}  // namespace

bool isNodeResult(NodeColumn column)
{
    return column >= kFirstNodeResult && std::find(kSourceColumns.begin(), kSourceColumns.end(), column) == kSourceColumns.end();
}

std::string nodeCellText(const PipelineDocument& document, const PipelineResult& result, const NodeRun& node, NodeColumn column)
{
    if (column == NodeColumn::feeders) return feedersOf(result, node);
    return nodeCellText(document, node, column);
}

std::string_view nodeColumnTitle(NodeColumn column) { return kTitles[static_cast<std::size_t>(column)]; }
std::array<std::string_view, 2> nodeColumnHeader(NodeColumn column) { return kHeaders[static_cast<std::size_t>(column)]; }

std::string nodeCellText(const PipelineDocument& document, const NodeRun& node, NodeColumn column)
{
    if (column == NodeColumn::name) return node.name;
    if (column == NodeColumn::kind) return std::string(kNodeKindNames[static_cast<std::size_t>(node.kind)]);
    if (column == NodeColumn::source) {
        const NetworkNode* data = findNode(document, node.name);
        return data != nullptr ? std::string(kSourceKindNames[static_cast<std::size_t>(data->source)]) : std::string();
    }
    if (const auto need = needOf(column)) {
        const NetworkNode* data = findNode(document, node.name);
        if (data == nullptr) return {};
        const auto kept = data->notNumbers.find(std::string(need->second));
        if (kept != data->notNumbers.end()) return kept->second;
        const std::optional<double>& value = data->*need->first;
        return value ? formatShortest(*value) : std::string();
    }
    if (column == NodeColumn::remark) return remarkOf(node);
    if (!node.computed) return {};
    switch (column) {
    case NodeColumn::p: return formatFixed(node.p, 3);
    case NodeColumn::t: return formatFixed(node.t, 3);
    case NodeColumn::tsat: return fixed3(node.tsat);
    case NodeColumn::superheat: return fixed3(node.superheat);
    case NodeColumn::pressureMargin: return fixed3(node.pressureMargin);
    case NodeColumn::temperatureMargin: return fixed3(node.temperatureMargin);
    case NodeColumn::dryness: return fixed3(node.dryness);
    case NodeColumn::condensate: return fixed3(node.condensate);
    default: return {};
    }
}

bool isNodeEditable(NodeColumn column)
{
    return column == NodeColumn::name || column == NodeColumn::source || needOf(column).has_value();
}

bool setNodeCellText(PipelineDocument& document, const std::string& node, NodeColumn column, std::string_view text)
{
    if (column == NodeColumn::name) {
        const std::string name = trimmed(text);
        if (name.empty() || name.size() > kMostNodeNameBytes) return false;
        if (name == node) return true;
        const std::vector<std::string> names = nodeNames(document);
        if (std::find(names.begin(), names.end(), name) != names.end()) return false;  // two nodes are not one
        for (PipelineSegment& s : document.segments) {
            if (s.from == node) s.from = name;
            if (s.to == node) s.to = name;
        }
        // The needs kept for a node of that name that no pipe names any more give way: a node
        // takes its own needs along, and a name stands once among the nodes.
        std::erase_if(document.nodes, [&name](const NetworkNode& data) { return data.name == name; });
        for (NetworkNode& data : document.nodes) {
            if (data.name == node) data.name = name;
        }
        renameCaseDemands(document, node, name);
        return true;
    }
    const auto need = needOf(column);
    if ((!need && column != NodeColumn::source) || text.size() > kMostCellTextBytes) return false;
    std::optional<SourceKind> kind;
    if (column == NodeColumn::source) {
        const std::string typed = trimmed(text);
        const auto named = std::find(kSourceKindNames.begin(), kSourceKindNames.end(), typed);
        if (named == kSourceKindNames.end()) return false;
        kind = static_cast<SourceKind>(named - kSourceKindNames.begin());
        // The first source marked: the node that fed the tree so far stays a source beside it.
        if (*kind != SourceKind::none && !marksSources(document)) {
            const NetworkLayout layout(document);
            if (layout.source && layout.names[*layout.source] != node) {
                setNodeCellText(document, layout.names[*layout.source], NodeColumn::source, kSourceKindNames[1]);
            }
        }
    }
    auto it = std::find_if(document.nodes.begin(), document.nodes.end(), [&node](const NetworkNode& n) { return n.name == node; });
    if (it == document.nodes.end()) {
        document.nodes.push_back({.name = node});
        it = document.nodes.end() - 1;
    }
    NetworkNode& data = *it;
    if (kind) {
        data.source = *kind;
        return true;
    }
    const std::string key(need->second);
    data.*need->first = readCellNumber(text);
    data.notNumbers.erase(key);
    if (!(data.*need->first) && !text.empty()) data.notNumbers[key] = text;  // kept, and marked
    return true;
}

std::string nodeCellProblem(const PipelineDocument& document, const std::string& node, NodeColumn column)
{
    const auto need = needOf(column);
    const NetworkNode* data = findNode(document, node);
    if (!need || data == nullptr) return {};
    const auto kept = data->notNumbers.find(std::string(need->second));
    return kept == data->notNumbers.end() ? std::string() : notNumberReason(kept->second);
}

std::string unusedSourceInput(const PipelineDocument& document, const std::string& node, NodeColumn column)
{
    const NetworkNode* data = findNode(document, node);
    const auto need = needOf(column);
    if (data == nullptr || !need || std::find(kSourceColumns.begin(), kSourceColumns.end(), column) == kSourceColumns.end()) return {};
    if (!(data->*need->first) && data->notNumbers.count(std::string(need->second)) == 0) return {};
    if (data->source == SourceKind::none) return "该节点不是热源，此值不起作用";
    if (data->source == SourceKind::pressure && column == NodeColumn::sourceFlow) return "定压热源的流量由管网求得，此值不起作用";
    if (data->source == SourceKind::flow && column == NodeColumn::sourcePressure) return "定流量热源的压力由管网求得，此值不起作用";
    return {};
}

std::vector<NodeColumn> nodeTableColumns(const PipelineDocument& document)
{
    std::vector<NodeColumn> columns;
    const bool sources = marksSources(document);
    for (int c = 0; c < static_cast<int>(NodeColumn::remark); ++c) {
        columns.push_back(static_cast<NodeColumn>(c));
        if (sources && c == static_cast<int>(NodeColumn::requiredTemperature)) {
            columns.insert(columns.end(), kSourceColumns.begin(), kSourceColumns.end());
        }
    }
    if (document.temperatureLaw == TemperatureLaw::enthalpyBalance) {
        columns.insert(columns.end(), {NodeColumn::dryness, NodeColumn::condensate});
    }
    if (sources) columns.push_back(NodeColumn::feeders);
    columns.push_back(NodeColumn::remark);
    return columns;
}

std::string csvNodes(const PipelineDocument& document, const PipelineResult& result)
{
    std::string csv;
    const std::vector<NodeColumn> columns = nodeTableColumns(document);
    const auto line = [&csv, &columns](const auto& text) {
        for (std::size_t c = 0; c < columns.size(); ++c) csv += (c == 0 ? "" : ",") + csvField(text(columns[c]));
        csv += "\r\n";
    };
    line([](NodeColumn c) { return std::string(nodeColumnTitle(c)); });
    for (const NodeRun& node : result.nodes) {
        line([&](NodeColumn c) {
            const std::string text = nodeCellText(document, result, node, c);
            return c == NodeColumn::name || !nodeCellProblem(document, node.name, c).empty() ? spreadsheetText(text) : text;
        });
    }
    return csv;
}

bool requirementsMet(const PipelineResult& result)
{
    return std::none_of(result.nodes.begin(), result.nodes.end(), [](const NodeRun& node) {
        return node.pressureShort || node.temperatureShort || node.superheatShort;
    });
}

}  // namespace dorvent
