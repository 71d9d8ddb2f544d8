#pragma once

#include <array>
#include <string>

namespace dorvent {

/// One catalogue steel pipe, all in mm.
struct PipeSize {
    float dn;       ///< nominal diameter
    float waijing;  ///< outer diameter
    float bihou;    ///< wall thickness
};

/// The 23 catalogue pipes, largest first. The proposal of pipe sizes relies on this order:
/// the row before a row is the next larger pipe.
inline constexpr std::array<PipeSize, 23> guanjing = {{
    {1400, 1420, 18}, {1200, 1220, 14}, {1000, 1020, 12}, {900, 920, 10}, {800, 820, 10},
    {700, 720, 9},    {600, 630, 8},    {500, 529, 8},    {450, 478, 8},  {400, 426, 7},
    {350, 377, 7},    {300, 325, 7},    {250, 273, 6},    {200, 219, 6},  {150, 159, 4.5f},
    {125, 133, 4},    {100, 108, 4},    {80, 89, 4},      {70, 76, 3.5f}, {50, 57, 3.5f},
    {40, 45, 2.5f},   {32, 38, 2.5f},   {25, 32, 2.5f},
}};

/// The catalogue row of a nominal diameter [mm], or null when the catalogue has none.
const PipeSize* findCatalogueRow(double dn);

/// List texts of a catalogue row: "DN200", "219", "6", "4.5".
std::string dnText(const PipeSize& pipe);
std::string waijingText(const PipeSize& pipe);
std::string bihouText(const PipeSize& pipe);

}  // namespace dorvent
