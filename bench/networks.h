#pragma once

// A network for the benchmarks of the calculation and of the window.

#include <algorithm>
#include <string>
#include <tuple>

#include "pipeline/pipelinedocument.h"

namespace dorvent::bench {

/// A network of the given count of pipes of 300 m: a spine from a source at 10 MPa and 550 ℃,
/// and from every node of it a branch to a consumer of 0.3 t/h; the spine's flows are summed and
/// its DN falls with them. 1000 pipes: 500 consumers over 300 km.
inline PipelineDocument spineNetwork(int pipes)
{
    PipelineDocument network{.startPressure = 10, .startTemperature = 550};
    const int spine = pipes / 2;
    for (int i = 0; i < spine; ++i) {
        const double flow = 0.3 * (spine - i);
        const int dn = flow > 100 ? 600 : flow > 50 ? 450 : flow > 20 ? 300 : flow > 5 ? 200 : 100;
        const PipelineSegment pipe{.dn = dn, .length = 300, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20,
                                   .dropPerKm = 0.05, .heatLossSource = HeatLossSource::typed, .heatLoss = 0.05};
        PipelineSegment along = pipe, branch = pipe;
        std::tie(along.from, along.to) = std::tuple("S" + std::to_string(i), "S" + std::to_string(i + 1));
        std::tie(branch.from, branch.to, branch.dn) = std::tuple("S" + std::to_string(i + 1), "U" + std::to_string(i + 1), 50);
        network.segments.push_back(along);
        network.segments.push_back(branch);
        network.nodes.push_back({.name = "U" + std::to_string(i + 1), .demand = 0.3});
    }
    return network;
}

/// A network whose heat loss is real: a spine of 30 m pipes from a source at 2.5 MPa and 345 ℃,
/// and from every node of it a branch of 20 m to a consumer of 1 t/h, the sizes falling with the
/// flows; every pipe losing what the heat-loss table gives for overhead laying, or, insulated,
/// what 80 mm of aluminium silicate felt under 60 mm of rock wool in aluminium alloy sheet loses
/// in a wind of 3 m/s, section by section.
inline PipelineDocument thermalNetwork(int pipes, bool insulated)
{
    PipelineDocument network{.startPressure = 2.5, .startTemperature = 345};
    if (insulated) {
        network.constructions.push_back({.name = "双层", .inner = {"硅酸铝棉毡", 80}, .outer = {"岩棉", 60}, .jacket = "铝合金薄板", .wind = 3});
    }
    const int spine = pipes / 2;
    for (int i = 0; i < spine; ++i) {
        const double flow = spine - i;
        const int dn = flow > 300 ? 1000 : flow > 150 ? 800 : flow > 60 ? 600 : flow > 20 ? 400 : flow > 5 ? 250 : flow > 2 ? 125 : 80;
        PipelineSegment pipe{.dn = dn, .length = 30, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20, .dropPerKm = 1,
                             .heatLossSource = insulated ? HeatLossSource::insulated : HeatLossSource::overhead,
                             .construction = insulated ? "双层" : ""};
        PipelineSegment along = pipe, branch = pipe;
        std::tie(along.from, along.to) = std::tuple("S" + std::to_string(i), "S" + std::to_string(i + 1));
        std::tie(branch.from, branch.to, branch.dn, branch.length) = std::tuple("S" + std::to_string(i + 1), "U" + std::to_string(i + 1), 50, 20);
        network.segments.push_back(along);
        network.segments.push_back(branch);
        network.nodes.push_back({.name = "U" + std::to_string(i + 1), .demand = 1});
    }
    return network;
}

/// The table-based network of thermalNetwork from steam only 26 K above saturation, with branches
/// of DN40 and 400 m: under the energy balance most branches turn wet, which the
/// heat-loss law cannot follow (those branches fail there).
inline PipelineDocument wetNetwork(int pipes)
{
    PipelineDocument network = thermalNetwork(pipes, false);
    network.startTemperature = 250;  // saturation at 2.5 MPa: 223.96 ℃
    for (std::size_t i = 1; i < network.segments.size(); i += 2) {
        network.segments[i].dn = 40;
        network.segments[i].length = 400;
    }
    return network;
}

/// A network of 1000 pipes with 50 loops and 3 sources: a spine of 475 pipes of 30 m, sized as if
/// fed from both ends, with
/// a branch of 20 m from every node of it to a consumer of 1 t/h; 49 pipes of DN200 and 300 m
/// each joining a node of the spine to the one nine further on; a plant at either end of the spine at fixed
/// pressure (2.5 MPa and 345 ℃, 2.45 MPa and 340 ℃), and a third feeding 30 t/h at 330 ℃ into
/// a quarter of the way along the spine through a pipe of its own. Heat losses from the heat-loss table.
inline PipelineDocument loopedNetwork()
{
    PipelineDocument network{.startPressure = 2.5, .startTemperature = 345};
    constexpr int spine = 475;
    const PipelineSegment pipe{.dn = 500, .length = 30, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20,
                               .dropPerKm = 1, .heatLossSource = HeatLossSource::overhead};
    const auto node = [](const char* kind, int i) { return kind + std::to_string(i); };
    for (int i = 0; i < spine; ++i) {
        PipelineSegment along = pipe, branch = pipe;
        const int flow = spine / 2 - std::min(i, spine - 1 - i) + 2;  // fed from both ends
        along.dn = flow > 150 ? 600 : flow > 60 ? 400 : flow > 20 ? 250 : flow > 5 ? 150 : 80;
        std::tie(along.from, along.to) = std::tuple(node("S", i), node("S", i + 1));
        std::tie(branch.from, branch.to, branch.dn, branch.length) = std::tuple(node("S", i + 1), node("U", i + 1), 50, 20);
        network.segments.push_back(along);
        network.segments.push_back(branch);
        network.nodes.push_back({.name = node("U", i + 1), .demand = 1});
    }
    for (int k = 0; k < 49; ++k) {
        PipelineSegment link = pipe;
        std::tie(link.from, link.to, link.dn, link.length) = std::tuple(node("S", 5 + 9 * k), node("S", 14 + 9 * k), 200, 300);
        network.segments.push_back(link);
    }
    PipelineSegment feed = pipe;
    std::tie(feed.from, feed.to, feed.dn, feed.length) = std::tuple(std::string("P3"), node("S", spine / 4), 200, 200);
    network.segments.push_back(feed);
    network.nodes.push_back({.name = "S0", .source = SourceKind::pressure});
    network.nodes.push_back({.name = node("S", spine), .source = SourceKind::pressure, .sourcePressure = 2.45, .sourceTemperature = 340});
    network.nodes.push_back({.name = "P3", .source = SourceKind::flow, .sourceTemperature = 330, .sourceFlow = 30});
    return network;
}

/// The same network for automatic sizing: every pipe DN100 to begin with, and every tenth
/// consumer, and the last, needing 8.5 MPa.
inline PipelineDocument sizingNetwork(int pipes)
{
    PipelineDocument network = spineNetwork(pipes);
    for (PipelineSegment& pipe : network.segments) pipe.dn = 100;
    for (std::size_t i = 0; i < network.nodes.size(); ++i) {
        if (i % 10 == 9 || i + 1 == network.nodes.size()) network.nodes[i].requiredPressure = 8.5;
    }
    return network;
}

}  // namespace dorvent::bench
