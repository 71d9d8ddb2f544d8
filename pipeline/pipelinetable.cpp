#include "pipeline/pipelinetable.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "numtext/completenumber.h"
#include "numtext/formatnumber.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinefile.h"
#include "pipes/guanjing.h"

namespace dorvent {
namespace {

constexpr std::array<std::string_view, kColumnCount> kTitles = {
    "管段", "起点", "终点", "公称直径", "固定", "外径(mm)", "壁厚(mm)", "长度(m)", "流量(t/h)", "局部阻力系数", "同时使用系数",
    "局部热损失系数", "环境温度(℃)", "假设每km温降(℃)", "热损失取值", "单位热损失[kJ/(m h ℃)]",
    "起点压力(MPa)", "起点温度(℃)", "起点流速(m/s)", "平均比摩阻(Pa/m)", "压降(MPa)", "末端压力(MPa)",
    "末端温度(℃)", "温度降(℃)", "每km温降(℃)", "热损失(kW)", "末端过热度(℃)", "表面温度(℃)",
    "单位长度热损失(W/m)", "单位面积热损失(W/m²)", "允许热损失(W/m²)", "干度", "凝结水(t/h)", "饱和点距起点(m)",
    "按热损失末端温度(℃)", "说明",
};

constexpr std::array<std::array<std::string_view, 2>, kColumnCount> kHeaders = {{
    {"管段", ""}, {"起点", ""}, {"终点", ""}, {"公称直径", ""}, {"固定", ""}, {"外径", "mm"}, {"壁厚", "mm"}, {"长度", "m"}, {"流量", "t/h"},
    {"局部阻力", "系数"}, {"同时使用", "系数"}, {"局部热损失", "系数"}, {"环境温度", "℃"}, {"假设温降", "℃/km"},
    {"热损失", "取值"}, {"单位热损失", "kJ/(m·h·℃)"}, {"起点压力", "MPa"}, {"起点温度", "℃"}, {"起点流速", "m/s"},
    {"平均比摩阻", "Pa/m"}, {"压降", "MPa"}, {"末端压力", "MPa"}, {"末端温度", "℃"}, {"温度降", "℃"},
    {"每km温降", "℃/km"}, {"热损失", "kW"}, {"末端过热度", "℃"}, {"表面温度", "℃"}, {"长度热损失", "W/m"},
    {"面积热损失", "W/m²"}, {"允许热损失", "W/m²"}, {"干度", ""}, {"凝结水", "t/h"}, {"饱和点距起点", "m"},
    {"按热损失末端温度", "℃"}, {"说明", ""},
}};

/// The number input that a column holds, or null for the columns that hold none.
const NumberInput* numberInput(Column column)
{
    static constexpr std::pair<Column, std::string_view> keys[] = {
        {Column::outerDiameter, "outerDiameter"}, {Column::wall, "wall"}, {Column::length, "length"},
        {Column::flow, "flow"}, {Column::zeta, "zeta"}, {Column::phi, "phi"}, {Column::beta, "beta"},
        {Column::ambient, "ambient"}, {Column::dropPerKm, "dropPerKm"}, {Column::heatLoss, "heatLoss"}};
    for (const auto& [c, key] : keys) {
        if (c != column) continue;
        for (const NumberInput& input : kNumberInputs) {
            if (input.key == key) return &input;
        }
    }
    return nullptr;
}

/// The text of a number input: the number, or the text kept because it is none.
std::string inputText(const PipelineSegment& segment, const NumberInput& input)
{
    const auto kept = segment.notNumbers.find(std::string(input.key));
    if (kept != segment.notNumbers.end()) return kept->second;
    const std::optional<double>& value = segment.*input.value;
    return value ? formatShortest(*value) : std::string();
}

constexpr double kCriticalPressure = 22.064;  // MPa

std::string shortest(const std::optional<double>& value) { return value ? formatShortest(*value) : std::string(); }
std::string fixed3(double value) { return formatFixed(value, 3); }

/// What a segment asks the engineer to look at: why it did not compute, its warnings, then a
/// velocity below its band as a note.
std::string remarkOf(const SegmentRun& run)
{
    std::string remark;
    const auto add = [&remark](const std::string& text) {
        if (text.empty()) return;
        if (!remark.empty()) remark += "；";
        remark += text;
    };
    add(run.status != SegmentStatus::computed ? run.message : std::string());
    add(run.flowNote);
    if (run.status != SegmentStatus::computed) return remark;
    if (run.velocityAboveBand) add(run.velocityNote);
    add(run.superheatNote);
    if (run.insulation) add(run.insulation->warnings);
    add(run.directionNote);
    if (run.velocityBelowBand) add(std::string(kNoteMark) + run.velocityNote);
    return remark;
}

/// What the energy balance gives for a pipe: its dryness and condensate where its steam is wet,
/// where it saturates, what the heat-loss law would have ended at; empty where none applies.
std::string balanceText(const SegmentRun& run, Column column)
{
    if (!run.balance) return {};
    const BalanceRun& b = *run.balance;
    switch (column) {
    case Column::dryness: return b.wet() ? fixed3(b.dryness) : std::string();
    case Column::condensate: return b.wet() ? fixed3(b.condensate) : std::string();
    case Column::saturationDistance: return b.saturationDistance ? formatFixed(*b.saturationDistance, 0) : std::string();
    default: return b.heatLossLawTend() ? fixed3(*b.heatLossLawTend()) : std::string();
    }
}

std::string resultText(const SegmentRun& run, Column column)
{
    if (column == Column::remark) return remarkOf(run);
    if (run.status != SegmentStatus::computed) return {};
    if (isBalanceColumn(column)) return balanceText(run, column);
    if (isInsulationColumn(column)) {
        if (!run.insulation) return {};
        const InsulationCheck& at = *run.insulation;
        switch (column) {
        case Column::surfaceTemperature: return fixed3(at.surface);
        case Column::lossPerMetre: return fixed3(at.perMetre);
        case Column::lossPerSquareMetre: return fixed3(at.perSquareMetre);
        default: return at.allowed ? fixed3(*at.allowed) : std::string("—");
        }
    }
    switch (column) {
    case Column::p0: return fixed3(run.p0);
    case Column::t0: return fixed3(run.t0);
    case Column::velocity: return fixed3(run.velocity);
    case Column::Rmean: return fixed3(run.Rmean);
    case Column::pressureDrop: return fixed3(run.pressureDrop);
    case Column::pend: return fixed3(run.pend);
    case Column::tend: return fixed3(run.tend);
    case Column::temperatureDrop: return fixed3(run.temperatureDrop);
    case Column::dropPerKmResult: return fixed3(run.dropPerKm);
    case Column::heatLossKw: return fixed3(run.heatLossKw);
    case Column::superheat:
        // No saturation temperature above the critical pressure, nor below the triple point.
        if (run.superheat) return fixed3(*run.superheat);
        return run.pend > kCriticalPressure ? "超临界" : "低于三相点";
    default: return {};
    }
}

/// The law the temperatures were computed by, where the document sets it (or the lowest dryness):
/// older documents print as they always have.
std::string temperatureLawLines(const PipelineDocument& document)
{
    if (!setsTemperatureLaw(document)) return {};
    std::string text = "温降计算：" + std::string(kTemperatureLawNames[static_cast<std::size_t>(document.temperatureLaw)]) + "\n";
    if (document.temperatureLaw == TemperatureLaw::enthalpyBalance) text += "最低干度 " + formatShortest(document.lowestDryness) + "\n";
    return text;
}

void csvRow(std::string& csv, const std::vector<Column>& columns, const auto& text)
{
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c != 0) csv += ',';
        csv += csvField(text(columns[c]));
    }
    csv += "\r\n";
}

}  // namespace

/// A text of the document as a terminal or a spreadsheet may show it: every control character
/// (C0, DEL and C1) written as an escape (\n, \x1B, \u009B), so that a label cannot fake a line or
/// move the cursor.
std::string printable(std::string_view text)
{
    const auto escape = [](std::string_view prefix, unsigned code) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        return std::string(prefix) + kHex[code >> 4] + kHex[code & 0xF];
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned byte = static_cast<unsigned char>(text[i]);
        const unsigned next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F in UTF-8
            out += escape("\\u00", next);
            ++i;
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += escape("\\x", byte);
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") + 1 - first));
}

/// A label as a spreadsheet cell: a text that a spreadsheet would take for a formula starts
/// with an apostrophe, which it shows as text.
std::string spreadsheetText(std::string_view text)
{
    std::string cell = printable(text);
    if (!cell.empty() && std::string_view("=+-@").find(cell.front()) != std::string_view::npos) cell.insert(0, "'");
    return cell;
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}


std::string_view columnTitle(Column column) { return kTitles[static_cast<std::size_t>(column)]; }

bool isInsulationColumn(Column column) { return column >= kFirstInsulationColumn && column <= kLastInsulationColumn; }

bool isBalanceColumn(Column column) { return column >= kFirstBalanceColumn && column <= kLastBalanceColumn; }

std::vector<Column> tableColumns(const PipelineDocument& document)
{
    const bool insulated = std::any_of(document.segments.begin(), document.segments.end(), [](const PipelineSegment& s) {
        return s.heatLossSource == HeatLossSource::insulated;
    });
    const bool balance = document.temperatureLaw == TemperatureLaw::enthalpyBalance;
    std::vector<Column> columns;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        if ((insulated || !isInsulationColumn(column)) && (balance || !isBalanceColumn(column))) columns.push_back(column);
    }
    return columns;
}

bool isTextColumn(Column column)
{
    return column == Column::label || column == Column::from || column == Column::to || column == Column::dn ||
           column == Column::fixed || column == Column::heatLossSource || column == Column::remark;
}
std::array<std::string_view, 2> columnHeader(Column column) { return kHeaders[static_cast<std::size_t>(column)]; }

bool isEditable(const PipelineSegment& segment, Column column)
{
    if (column == Column::outerDiameter || column == Column::wall) return segment.dn == 0;
    if (column == Column::heatLoss) return segment.heatLossSource == HeatLossSource::typed;
    return column < kFirstResultColumn && column != Column::fixed;  // 固定 is a check, not typed
}

std::string cellText(const PipelineSegment& segment, const SegmentRun* run, Column column)
{
    const PipeSize* pipe = findCatalogueRow(segment.dn);
    switch (column) {
    case Column::label: return segment.label;
    case Column::from: return segment.from;
    case Column::to: return segment.to;
    case Column::dn: return pipe != nullptr ? dnText(*pipe) : std::string(kOwnPipeName);
    case Column::fixed: return segment.fixed ? std::string(kFixedMark) : std::string();
    case Column::outerDiameter:
        if (pipe != nullptr) return waijingText(*pipe);
        break;
    case Column::wall:
        if (pipe != nullptr) return bihouText(*pipe);
        break;
    case Column::heatLossSource:
        if (segment.heatLossSource == HeatLossSource::insulated) return std::string(kInsulatedPrefix) + segment.construction;
        return std::string(kHeatLossSourceNames[static_cast<std::size_t>(segment.heatLossSource)]);
    case Column::heatLoss:
        // The table's value as the table gives it; an insulation's, computed at the start, as a result.
        if (segment.heatLossSource == HeatLossSource::insulated) {
            return run != nullptr && run->heatLoss ? fixed3(*run->heatLoss) : std::string();
        }
        if (segment.heatLossSource != HeatLossSource::typed) {
            return run != nullptr ? shortest(run->heatLoss) : std::string();
        }
        break;
    default: break;
    }
    if (column == Column::flow && !segment.flow && segment.notNumbers.empty() && run != nullptr && run->flowSummed) {
        return run->flowSolved ? fixed3(*run->flow) : shortest(run->flow);  // summed from downstream, or solved
    }
    if (const NumberInput* input = numberInput(column)) return inputText(segment, *input);
    return run != nullptr ? resultText(*run, column) : std::string();
}

std::string cellProblem(const PipelineSegment& segment, Column column)
{
    const NumberInput* input = numberInput(column);
    if (input == nullptr || !isEditable(segment, column)) return {};
    const auto kept = segment.notNumbers.find(std::string(input->key));
    return kept == segment.notNumbers.end() ? std::string() : notNumberReason(kept->second);
}

std::string totalsText(const PipelineResult& result, Column column)
{
    if (column == Column::label) return "合计";
    if (column == Column::length) return formatShortest(result.totals.length);
    if (column == Column::remark && !result.startMessage.empty()) return "起点状态：" + result.startMessage;
    if (result.network) {  // drops along branches side by side add up to nothing; the source's flow does
        if (column == Column::flow) return result.solve && result.totals.sourceFlow ? fixed3(*result.totals.sourceFlow) : shortest(result.totals.sourceFlow);
        if (column == Column::heatLossKw && result.allComputed) return fixed3(result.totals.heatLossKw);
        if (column == Column::condensate && result.allComputed && result.totals.condensate) return fixed3(*result.totals.condensate);
        return {};
    }
    if (!result.allComputed || result.segments.empty()) return {};
    switch (column) {
    case Column::pressureDrop: return fixed3(result.totals.pressureDrop);
    case Column::temperatureDrop: return fixed3(result.totals.temperatureDrop);
    case Column::heatLossKw: return fixed3(result.totals.heatLossKw);
    case Column::condensate: return result.totals.condensate ? fixed3(*result.totals.condensate) : std::string();
    default: return {};
    }
}

bool setCellText(PipelineSegment& segment, Column column, std::string_view text)
{
    if (column == Column::label) {
        if (text.size() > kMostTextBytes) return false;  // as long as a file may hold it
        segment.label = text;
        return true;
    }
    if (column == Column::from || column == Column::to) {
        const std::string name = trimmed(text);  // a blank more or less is the same node
        if (name.size() > kMostNodeNameBytes) return false;
        (column == Column::from ? segment.from : segment.to) = name;
        return true;
    }
    if (column == Column::dn) {
        if (text.empty() || text == kOwnPipeName) {
            segment.dn = 0;
            return true;
        }
        const std::string_view digits = text.substr(text.size() >= 2 && (text[0] == 'D' || text[0] == 'd') ? 2 : 0);
        const std::optional<double> dn = readCompleteNumber(digits);
        const PipeSize* pipe = dn ? findCatalogueRow(*dn) : nullptr;
        if (pipe == nullptr) return false;
        segment.dn = static_cast<int>(pipe->dn);
        return true;
    }
    if (column == Column::fixed) {
        const bool yes = text == kFixedMark || text == "是" || text == "1";
        if (!yes && !text.empty() && text != "否" && text != "0") return false;
        segment.fixed = yes;
        return true;
    }
    if (column == Column::heatLossSource) {
        if (text.starts_with(kInsulatedPrefix)) {  // "保温：" and a construction's name
            const std::string name = trimmed(text.substr(kInsulatedPrefix.size()));
            if (name.empty() || name.size() > kMostNodeNameBytes) return false;
            segment.heatLossSource = HeatLossSource::insulated;
            segment.construction = name;
            return true;
        }
        const auto it = std::find(kHeatLossSourceNames.begin(), kHeatLossSourceNames.end() - 1, text);
        if (it == kHeatLossSourceNames.end() - 1) return false;
        segment.heatLossSource = static_cast<HeatLossSource>(it - kHeatLossSourceNames.begin());
        segment.construction.clear();
        return true;
    }
    const NumberInput* input = numberInput(column);
    if (input == nullptr || !isEditable(segment, column) || text.size() > kMostCellTextBytes) return false;
    const std::string key(input->key);
    segment.*input->value = readCellNumber(text);
    segment.notNumbers.erase(key);
    if (!(segment.*input->value) && !text.empty()) segment.notNumbers[key] = text;  // kept, and marked
    return true;
}

std::string csvTable(const PipelineDocument& document, const PipelineResult& result)
{
    std::string csv;
    const std::vector<Column> columns = tableColumns(document);
    csvRow(csv, columns, [](Column c) { return std::string(columnTitle(c)); });
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        const SegmentRun* run = i < result.segments.size() ? &result.segments[i] : nullptr;
        csvRow(csv, columns, [&](Column c) {
            const std::string text = cellText(document.segments[i], run, c);
            const bool typedText = c == Column::label || c == Column::from || c == Column::to;
            return typedText || !cellProblem(document.segments[i], c).empty() ? spreadsheetText(text) : text;
        });
    }
    csvRow(csv, columns, [&](Column c) { return totalsText(result, c); });
    return csv;
}

std::string resultLines(const PipelineDocument& document, const PipelineResult& result)
{
    std::string text = "项目 " + printable(document.project) + "\n设计人 " + printable(document.designer) + "\n" +
                       temperatureLawLines(document);
    if (!result.startMessage.empty()) return text + "起点 " + result.startMessage + "\n";
    for (std::size_t i = 0; i < document.segments.size() && i < result.segments.size(); ++i) {
        const PipelineSegment& s = document.segments[i];
        const SegmentRun& run = result.segments[i];
        text += "\n管段 " + std::to_string(i + 1) + " " + printable(s.label) + "\n";
        if (result.network) {
            text += "  起点 " + printable(s.from) + "  终点 " + printable(s.to) + "\n";
            if (run.flow) {
                text += "  流量(t/h) " + (run.flowSolved ? formatFixed(*run.flow, 3) + "（求解）"
                                                         : formatShortest(*run.flow) + (run.flowSummed ? "（求和）" : "")) + "\n";
            }
        }
        if (run.status != SegmentStatus::computed) {
            text += "  " + cellText(s, &run, Column::remark) + "\n";
            continue;
        }
        for (int c = static_cast<int>(kFirstResultColumn); c < kColumnCount; ++c) {
            const std::string value = cellText(s, &run, static_cast<Column>(c));
            if (!value.empty()) text += "  " + std::string(columnTitle(static_cast<Column>(c))) + " " + value + "\n";
        }
    }
    text += "\n合计\n  长度(m) " + totalsText(result, Column::length) + "\n";
    for (const Column c : {Column::flow, Column::pressureDrop, Column::temperatureDrop, Column::heatLossKw, Column::condensate}) {
        const std::string value = totalsText(result, c);
        if (!value.empty()) text += "  " + std::string(columnTitle(c)) + " " + value + "\n";
    }
    return result.network ? text + nodeLines(document, result) : text;
}

std::string nodeLines(const PipelineDocument& document, const PipelineResult& result)
{
    std::string text;
    if (result.totals.demand > 0) text += "  用汽量(t/h) " + formatShortest(result.totals.demand) + "\n";
    for (const NodeRun& node : result.nodes) {
        text += "\n节点 " + printable(node.name) + " " + std::string(kNodeKindNames[static_cast<std::size_t>(node.kind)]) + "\n";
        for (const NodeColumn c : nodeTableColumns(document)) {
            if (c == NodeColumn::name || c == NodeColumn::kind) continue;  // in the line's head
            const std::string value = nodeCellText(document, result, node, c);
            if (!value.empty()) text += "  " + std::string(nodeColumnTitle(c)) + " " + printable(value) + "\n";
        }
    }
    text += solveLines(result);
    if (result.critical) {
        text += "\n最不利用户 " + printable(result.nodes[*result.critical].name) + "\n  路径 " +
                printable(pathText(document, result, result.critical)) + "\n";
    }
    return text;
}

std::string solveLines(const PipelineResult& result)
{
    if (!result.solve) return {};
    const SolveRun& solve = *result.solve;
    if (!solve.converged) return "\n管网求解 " + printable(solve.message) + "\n";
    std::string text = "\n管网求解 收敛，计算各管段 " + std::to_string(solve.iterations) + " 次；节点处末端压力最大相差 " +
                       formatFixed(solve.residual * 1e6, 1) + " Pa，节点流量最大不平衡 " +
                       formatFixed(solve.massResidual, 6) + " t/h\n";
    for (const SourceRun& source : result.sources) {
        text += "  热源 " + printable(result.nodes[source.node].name) + "（" +
                std::string(kSourceKindNames[static_cast<std::size_t>(source.kind)]) + "） 供汽 " +
                formatFixed(source.flow, 3) + " t/h，焓流量 " + formatFixed(source.heatKw, 3) + " kW\n";
    }
    return text;
}

std::string pathText(const PipelineDocument& document, const PipelineResult& result, std::optional<std::size_t> node)
{
    const std::vector<std::size_t> path = pathTo(result, node);
    if (!result.network || path.empty()) return {};
    // Along the steam, which in a solved network may run against a pipe's typed direction.
    const auto name = [&](std::optional<std::size_t> n) { return n ? result.nodes[*n].name : std::string(); };
    std::string text = result.segments[path.front()].fromNode ? name(result.segments[path.front()].fromNode)
                                                              : document.segments[path.front()].from;
    for (const std::size_t i : path) text += " → " + (result.segments[i].toNode ? name(result.segments[i].toNode) : document.segments[i].to);
    return text;
}

}  // namespace dorvent
