#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// The columns of a network's node table, the same in the window, the CSV text and the report:
/// what a node needs, then what it gets.
/// The columns of wet steam (按焓平衡) come after the remark, beyond kNodeColumnCount, so that
/// the tables that show every column show none of them; nodeTableColumns puts them before it.
/// The columns of sources come last: a source's kind and state after the needs, and where each
/// node's steam comes from before the remark, once a node is marked as a source.
enum class NodeColumn {
    name, kind, demand, requiredPressure, requiredTemperature,
    p, t, tsat, superheat, pressureMargin, temperatureMargin, remark,
    dryness, condensate,
    source, sourcePressure, sourceTemperature, sourceFlow, feeders,
};
inline constexpr int kNodeColumnCount = static_cast<int>(NodeColumn::remark) + 1;
/// Every column, those of wet steam and of sources included.
inline constexpr int kAllNodeColumnCount = static_cast<int>(NodeColumn::feeders) + 1;
inline constexpr NodeColumn kFirstNodeResult = NodeColumn::p;
/// The inputs of a source, in their order.
inline constexpr std::array<NodeColumn, 4> kSourceColumns = {NodeColumn::source, NodeColumn::sourcePressure,
                                                             NodeColumn::sourceTemperature, NodeColumn::sourceFlow};

/// Whether the column shows what a node gets rather than what it needs or supplies.
bool isNodeResult(NodeColumn column);

/// The columns of a document's node table, in order: those of wet steam, its dryness and the
/// water it carries, only under 按焓平衡, before the remark; those of sources only once a node is
/// marked as one.
std::vector<NodeColumn> nodeTableColumns(const PipelineDocument& document);

/// Header of a node column with its unit: "用汽量(t/h)"; and on two lines: name, then unit.
std::string_view nodeColumnTitle(NodeColumn column);
std::array<std::string_view, 2> nodeColumnHeader(NodeColumn column);

/// Names of the node kinds, in the order of NodeKind: "热源", "分支点", "用户".
inline constexpr std::array<std::string_view, 3> kNodeKindNames = {"热源", "分支点", "用户"};

/// The text of a node's cell: its name and kind, what it needs as typed, what it gets in the
/// pattern "0.000", and the remark: why it gets no steam, or what it is short of.
std::string nodeCellText(const PipelineDocument& document, const NodeRun& node, NodeColumn column);
/// The same, with where the steam comes from in a solved network (汽源份额).
std::string nodeCellText(const PipelineDocument& document, const PipelineResult& result, const NodeRun& node, NodeColumn column);

/// Whether the user can type into the column: the name and the needs.
bool isNodeEditable(NodeColumn column);

/// Puts a typed text into the node's cell. The name renames the node in every pipe that names
/// it; false for a name another node has, or none. A number cell takes what a segment's does.
bool setNodeCellText(PipelineDocument& document, const std::string& node, NodeColumn column, std::string_view text);

/// Why a node's number cell holds no number, for its mark; empty when it does.
std::string nodeCellProblem(const PipelineDocument& document, const std::string& node, NodeColumn column);

/// Why a source's input typed on a node does nothing (on a node that is no source, a fixed-pressure
/// source's flow, a fixed-flow source's pressure); empty where it is used or empty.
std::string unusedSourceInput(const PipelineDocument& document, const std::string& node, NodeColumn column);

/// The node table as CSV (RFC 4180, CR LF): the header, one row per node.
std::string csvNodes(const PipelineDocument& document, const PipelineResult& result);

/// Whether every node gets its pressure, temperature and superheat.
bool requirementsMet(const PipelineResult& result);

}  // namespace dorvent
