#pragma once

#include <string>

namespace dorvent {

/// Laying methods and temperature bands of the unit heat-loss table.
inline constexpr int kLayingMethods = 3;  // 1 overhead, 2 non-walkable trench, 3 walkable trench
inline constexpr int kHeatLossRows = 20;  // DN 25 to DN 1000
inline constexpr int kFirstBandColumn = 2;  // columns 2, 3, 4: t<=200 ℃, 200<t<=300 ℃, 300<t<=350 ℃
inline constexpr int kLastBandColumn = 4;

/// Unit heat loss of insulated steam pipes [kJ/(m·h·℃)], from a thermal-engineering design
/// handbook (p. 275, table 4-37): [laying method 1..3][row 1..20][column 1..4], counted from 1
/// through resunshi(); column 1 is the nominal diameter DN [mm].
float resunshi(int fushefangshi, int row, int column);

/// The list text of one row: "DN25", tab, the value in two decimals, tab, "kJ/m·h·℃".
std::string resunshiListText(int fushefangshi, int zhengqiwendu, int row);

}  // namespace dorvent
