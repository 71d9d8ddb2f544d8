#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// The columns of the pipeline table, the same in the window, the CSV text and the report:
/// the inputs of a segment, the coefficients in the main window's order, then its results.
enum class Column {
    label, from, to, dn, fixed, outerDiameter, wall, length, flow, zeta, phi, beta, ambient, dropPerKm, heatLossSource, heatLoss,
    p0, t0, velocity, Rmean, pressureDrop, pend, tend, temperatureDrop, dropPerKmResult, heatLossKw, superheat,
    surfaceTemperature, lossPerMetre, lossPerSquareMetre, allowedLoss,
    dryness, condensate, saturationDistance, heatLossLawTend,
    remark,
};
inline constexpr int kColumnCount = static_cast<int>(Column::remark) + 1;
inline constexpr Column kFirstResultColumn = Column::p0;
/// The columns of an insulated pipe at its start: shown only where a pipe of the document is insulated.
inline constexpr Column kFirstInsulationColumn = Column::surfaceTemperature;
inline constexpr Column kLastInsulationColumn = Column::allowedLoss;
bool isInsulationColumn(Column column);
/// The columns of the energy balance (按焓平衡): shown only where the document takes that law.
inline constexpr Column kFirstBalanceColumn = Column::dryness;
inline constexpr Column kLastBalanceColumn = Column::heatLossLawTend;
bool isBalanceColumn(Column column);

/// The columns a document's table shows, in order: every column, but those of insulation only
/// where a pipe of the document is insulated, those of the energy balance only under 按焓平衡.
std::vector<Column> tableColumns(const PipelineDocument& document);

/// Whether a column holds texts rather than numbers: they stand on the left, numbers on the right.
bool isTextColumn(Column column);

/// Header of a column, with its unit: "长度(m)".
std::string_view columnTitle(Column column);

/// The same on two lines, as tables on paper and on screen show it: the name ("局部阻力" and
/// "系数" where it is long), then the unit ("长度" and "m").
std::array<std::string_view, 2> columnHeader(Column column);

/// Names of the heat-loss sources, in the order of HeatLossSource: "输入", "架空", ...; an insulated
/// pipe's cell reads "保温：" and its construction's name.
inline constexpr std::array<std::string_view, 5> kHeatLossSourceNames = {"输入", "架空", "不通行地沟", "通行地沟", "保温"};
inline constexpr std::string_view kInsulatedPrefix = "保温：";
/// The DN cell of a pipe of one's own.
inline constexpr std::string_view kOwnPipeName = "自选";
/// Set before a remark that is a note, not a warning: a start velocity below its band.
inline constexpr std::string_view kNoteMark = "提示：";
/// The 固定 cell of a pipe that automatic sizing keeps; the cell is empty for one it sizes.
inline constexpr std::string_view kFixedMark = "固定";

/// Whether the user can type into the column for this segment: not the results, not the pipe
/// dimensions of a catalogue pipe, not the heat loss that the table gives.
bool isEditable(const PipelineSegment& segment, Column column);

/// The text of a segment's cell: inputs as their shortest decimal text (empty when not given),
/// results in the pattern "0.000" once computed; run may be null before any calculation.
std::string cellText(const PipelineSegment& segment, const SegmentRun* run, Column column);

/// Why an input cell holds no number, for its mark: "“1,2x”不是数值"; empty when it does.
std::string cellProblem(const PipelineSegment& segment, Column column);

/// The totals row: its label, the summed length, and the summed drops, heat loss and condensate
/// once every segment has computed.
std::string totalsText(const PipelineResult& result, Column column);

/// Puts a typed text into an input cell. A number cell takes a complete number (readCellNumber);
/// any other text is kept as it is, marked, and the segment not computed; the empty text empties
/// it. The DN cell takes "DN200", "200" or "自选", the source cell one of its names, the 固定 cell
/// "固定", "是" or "1" and the empty text, "否" or "0". False, with
/// the segment unchanged, for a text the cell cannot take or a column without input.
bool setCellText(PipelineSegment& segment, Column column, std::string_view text);

/// A text of the document as a terminal may show it: every control character (C0, DEL and C1)
/// written as an escape (\n, \x1B, \u009B), so that a label cannot fake a line.
std::string printable(std::string_view text);

/// A typed text as a spreadsheet cell: printable, and one that a spreadsheet would take for a
/// formula (=, +, -, @ first) starts with an apostrophe, which it shows as text.
std::string spreadsheetText(std::string_view text);

/// A field of a CSV line, quoted where it holds a comma, a quote or a line break.
std::string csvField(const std::string& text);

/// Blanks and tabs off both ends.
std::string trimmed(std::string_view text);

/// The table as CSV (RFC 4180, lines ending in CR LF): the header, one row per segment, the totals.
std::string csvTable(const PipelineDocument& document, const PipelineResult& result);

/// The results as lines of text for the command line: the temperature law where the document
/// sets it, the start, each segment, the totals; for a
/// network each node and the critical consumer with the path to it after them (nodeLines).
std::string resultLines(const PipelineDocument& document, const PipelineResult& result);
std::string nodeLines(const PipelineDocument& document, const PipelineResult& result);

/// How a solved network's solve went and what each source delivers, as lines; nothing for a tree
/// computed pipe after pipe.
std::string solveLines(const PipelineResult& result);

/// The nodes from the source to a node of a network: "热电厂 → N1 → B2"; empty for none.
std::string pathText(const PipelineDocument& document, const PipelineResult& result, std::optional<std::size_t> node);

}  // namespace dorvent
