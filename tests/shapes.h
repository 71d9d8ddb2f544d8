#pragma once

// The shapes of the texts the program writes into its result boxes, for tests and fuzz targets
// that feed it arbitrary input.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace dorvent::shapes {

/// Ends a fuzz run on the input that breaks a property.
inline void require(bool condition) { if (!condition) std::abort(); }

/// text with each fixed-point number (optional minus, digits, point, digits) written as '#' and
/// its count of decimals: "蒸汽密度 4.297 kg/m3" has the shape "蒸汽密度 #3 kg/m3".
inline std::string shapeOf(std::string_view text)
{
    const auto digits = [text](std::size_t i) {
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i;
    };
    std::string shape;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t first = i + (text[i] == '-'), point = digits(first);
        const std::size_t end = point > first && point < text.size() && text[point] == '.' ? digits(point + 1) : point;
        if (end > point + 1) {
            shape += '#' + std::to_string(end - point - 1);
            i = end;
        } else {
            shape += text[i++];
        }
    }
    return shape;
}

/// One of the texts the state evaluation writes into the report box.
inline bool isStateReport(std::string_view report)
{
    static const std::string notSteam = "\r\n蒸汽不是过热蒸汽，不能用本程序计算", none = "\r\n该状态下无法计算物性",
                             steam = "\r\n蒸汽密度 #3 kg/m3\r\n蒸汽比焓 #3 kJ/kg\r\n蒸汽定压比热 #3 kJ/(kg·K)";
    static const std::string known[] = {
        "请输入压力", " 请输入温度", "压力不能为0", "压力过低 ", "压力过高 ", " 温度过低", " 温度过高", "压力过低 温度过低",
        "压力过低 温度过高", "压力过高 温度过低", "压力过高 温度过高", "蒸汽属于区域2：过热蒸汽" + steam,
        "蒸汽属于区域2：过热蒸汽" + none, "蒸汽属于区域5：超高温过热蒸汽" + steam, "蒸汽属于区域5：超高温过热蒸汽" + none,
        "蒸汽属于区域1：温度低于350℃(623.15K)的不饱和水\r\n不饱和水比容 #6 m3/kg\r\n不饱和水密度 #6 kg/m3\r\n"
        "不饱和水比焓 #6 kJ/kg\r\n不饱和水定压比热 #6 kJ/(kg·K)" + notSteam,
        "蒸汽属于区域3：临界点附近的水和蒸汽" + notSteam, "蒸汽属于区域4：饱和线" + notSteam, "蒸汽属于区域2、3分界线" + notSteam,
    };
    const std::string_view water = "蒸汽属于区域1：温度低于350℃(623.15K)的不饱和水";  // its number is no result
    const std::string shape = report.starts_with(water) ? std::string(water) + shapeOf(report.substr(water.size())) : shapeOf(report);
    return std::ranges::find(known, shape) != std::end(known);
}

/// A row of the proposal list: "DN150  39.298m/s  867.473Pa/m".
inline bool isProposalRow(std::string_view row)
{
    const std::size_t digitsEnd = row.find_first_not_of("0123456789", 2);
    return row.starts_with("DN") && digitsEnd > 2 && digitsEnd != std::string_view::npos &&
           shapeOf(row.substr(digitsEnd)) == "  #3m/s  #3Pa/m";
}

/// The six lines of a segment result.
inline bool isSegmentReport(std::string_view report)
{
    return shapeOf(report) ==
           "末端压力 #3 MPa\r\n末端温度 #3 ℃\r\n管段热损失 #3 kW\r\n管段温度降 #3 ℃\r\n每km温度降 #3 ℃\r\n平均比摩阻 #3 Pa/m";
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
        } else if (text.substr(i, 4) == "true" || text.substr(i, 5) == "false") {
            i += text[i] == 't' ? 3 : 4;  // the 固定 mark
        } else if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && c != 'n' && c != 'u' && c != 'l') {
            return false;
        }
    }
    return !quoted;
}

}  // namespace dorvent::shapes
