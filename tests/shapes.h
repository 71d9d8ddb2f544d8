#pragma once

// The shapes of the texts the program writes into its result boxes, for tests and fuzz targets
// that feed it arbitrary input.

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace dorvent::shapes {

/// Ends a fuzz run on the input that breaks a property.
inline void require(bool condition) { if (!condition) std::abort(); }

inline std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> result;
    for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos; text.remove_prefix(end + 2))
        result.push_back(text.substr(0, end));
    result.push_back(text);
    return result;
}

/// A fixed-point number with the given decimals: optional minus, digits, point, decimals.
inline bool isFixed(std::string_view text, std::size_t decimals)
{
    if (text.starts_with('-')) text.remove_prefix(1);
    const std::size_t point = text.find('.');
    return point != 0 && point != std::string_view::npos && text.size() - point - 1 == decimals &&
           text.substr(0, point).find_first_not_of("0123456789") == std::string_view::npos &&
           text.substr(point + 1).find_first_not_of("0123456789") == std::string_view::npos;
}

/// label, a fixed-point number with the given decimals, unit: nothing else.
inline bool isValueLine(std::string_view line, std::string_view label, std::size_t decimals, std::string_view unit)
{
    return line.size() >= label.size() + unit.size() && line.starts_with(label) && line.ends_with(unit) &&
           isFixed(line.substr(label.size(), line.size() - label.size() - unit.size()), decimals);
}

/// One of the texts the state evaluation writes into the report box.
inline bool isStateReport(std::string_view report)
{
    if (report == "请输入压力" || report == " 请输入温度" || report == "压力不能为0") return true;
    for (std::string pressure : {"", "压力过低", "压力过高"}) {
        for (const char* temperature : {"", "温度过低", "温度过高"})
            if (report == pressure + " " + temperature && report != " ") return true;
    }
    const std::vector<std::string_view> l = lines(report);
    const std::string_view notSteam = "蒸汽不是过热蒸汽，不能用本程序计算";
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
    const std::size_t first = row.find("  "), second = row.find("  ", first + 2);
    if (!row.starts_with("DN") || second == std::string_view::npos) return false;
    const std::string_view dn = row.substr(2, first - 2);
    return !dn.empty() && dn.find_first_not_of("0123456789") == std::string_view::npos &&
           isValueLine(row.substr(first + 2, second - first - 2), "", 3, "m/s") &&
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

}  // namespace dorvent::shapes
