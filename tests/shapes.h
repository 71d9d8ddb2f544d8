#pragma once

// The shapes of the texts the program writes into its result boxes, for tests and fuzz targets
// that feed it arbitrary input.

#include <string>
#include <string_view>
#include <vector>

namespace dorvent::shapes {

inline std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> result;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("\r\n", start);
        result.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return result;
        start = end + 2;
    }
}

/// A fixed-point number with the given decimals: optional minus, digits, point, decimals.
inline bool isFixed(std::string_view text, std::size_t decimals)
{
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    const std::size_t point = text.find('.');
    if (point == 0 || point == std::string_view::npos || text.size() - point - 1 != decimals) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != point && (text[i] < '0' || text[i] > '9')) return false;
    }
    return true;
}

/// label, a fixed-point number with the given decimals, unit: nothing else.
inline bool isValueLine(std::string_view line, std::string_view label, std::size_t decimals, std::string_view unit)
{
    if (line.size() < label.size() + unit.size() || line.substr(0, label.size()) != label) return false;
    if (line.substr(line.size() - unit.size()) != unit) return false;
    return isFixed(line.substr(label.size(), line.size() - label.size() - unit.size()), decimals);
}

/// One of the texts the state evaluation writes into the report box.
inline bool isStateReport(std::string_view report)
{
    for (std::string_view message : {"请输入压力", " 请输入温度", "压力不能为0", "压力过低 ", "压力过高 ", " 温度过低",
                                     " 温度过高", "压力过低 温度过低", "压力过低 温度过高", "压力过高 温度过低",
                                     "压力过高 温度过高"}) {
        if (report == message) return true;
    }
    const std::vector<std::string_view> all = lines(report);
    const std::string_view notSteam = "蒸汽不是过热蒸汽，不能用本程序计算";
    const auto& l = all;
    if (l[0] == "蒸汽属于区域2：过热蒸汽" || l[0] == "蒸汽属于区域5：超高温过热蒸汽") {
        return (l.size() == 2 && l[1] == "该状态下无法计算物性") ||
               (l.size() == 4 && isValueLine(l[1], "蒸汽密度 ", 3, " kg/m3") &&
                isValueLine(l[2], "蒸汽比焓 ", 3, " kJ/kg") && isValueLine(l[3], "蒸汽定压比热 ", 3, " kJ/(kg·K)"));
    }
    if (l[0] == "蒸汽属于区域1：温度低于350℃(623.15K)的不饱和水") {
        return l.size() == 6 && isValueLine(l[1], "不饱和水比容 ", 6, " m3/kg") &&
               isValueLine(l[2], "不饱和水密度 ", 6, " kg/m3") && isValueLine(l[3], "不饱和水比焓 ", 6, " kJ/kg") &&
               isValueLine(l[4], "不饱和水定压比热 ", 6, " kJ/(kg·K)") && l[5] == notSteam;
    }
    return l.size() == 2 && l[1] == notSteam &&
           (l[0] == "蒸汽属于区域3：临界点附近的水和蒸汽" || l[0] == "蒸汽属于区域4：饱和线" || l[0] == "蒸汽属于区域2、3分界线");
}

/// A row of the proposal list: "DN150  39.298m/s  867.473Pa/m".
inline bool isProposalRow(std::string_view row)
{
    const std::size_t first = row.find("  ");
    const std::size_t second = row.find("  ", first + 2);
    if (row.substr(0, 2) != "DN" || first == std::string_view::npos || second == std::string_view::npos) return false;
    const std::string_view dn = row.substr(2, first - 2);
    if (dn.empty() || dn.find_first_not_of("0123456789") != std::string_view::npos) return false;
    return isValueLine(row.substr(first + 2, second - first - 2), "", 3, "m/s") &&
           isValueLine(row.substr(second + 2), "", 3, "Pa/m");
}

/// The six lines of a segment result.
inline bool isSegmentReport(std::string_view report)
{
    const std::vector<std::string_view> l = lines(report);
    return l.size() == 6 && isValueLine(l[0], "末端压力 ", 3, " MPa") && isValueLine(l[1], "末端温度 ", 3, " ℃") &&
           isValueLine(l[2], "管段热损失 ", 3, " kW") && isValueLine(l[3], "管段温度降 ", 3, " ℃") &&
           isValueLine(l[4], "每km温度降 ", 3, " ℃") && isValueLine(l[5], "平均比摩阻 ", 3, " Pa/m");
}

/// A pipeline file's text: outside its quoted texts no letter but those of null, so no number in
/// exponent form and no inf or nan.
inline bool hasPlainNumbersOnly(std::string_view text)
{
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '\\') ++i;
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && c != 'n' && c != 'u' && c != 'l') {
            return false;
        }
    }
    return !quoted;
}

}  // namespace dorvent::shapes
