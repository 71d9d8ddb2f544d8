#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pipeline/pipeinsulation.h"
#include "pipeline/pipelinedocument.h"
#include "segment/guanduanjisuan.h"

namespace dorvent {

/// The input a segment's failure is about, so that the window can mark its cell.
enum class SegmentField { none, from, to, pipe, outerDiameter, wall, length, flow, zeta, beta, phi, ambient, dropPerKm, heatLoss };

enum class SegmentStatus { computed, failed, notComputed };

/// The heat-loss law's end temperature [℃] of a pipe computed by its energy balance, from the same
/// start: a second calculation of the pipe, made when a shown or exported cell first asks for it,
/// so that a recalculation after an edit does not pay for it. None where that law stops.
class HeatLossLawEnd {
public:
    HeatLossLawEnd(SegmentInput in, const SteamState& start) : in_(std::move(in)), start_(start) {}
    std::optional<double> celsius() const;

private:
    SegmentInput in_;
    SteamState start_;
    mutable std::optional<std::optional<double>> celsius_{};
};

/// What a pipe computed by its energy balance (按焓平衡) gives beyond the heat-loss law's results.
struct BalanceRun {
    double hend = 0;        ///< end enthalpy [kJ/kg]
    double startDryness = 1;  ///< 1 for superheated steam
    double dryness = 1;     ///< at the end; 1 for superheated steam
    double condensate = 0;  ///< formed in the pipe [t/h]
    double water = 0;       ///< carried at its end [t/h]: the design flow's share of water, G·φ·(1 − x)
    /// From the start [m], where steam that entered superheated becomes saturated.
    std::optional<double> saturationDistance{};
    /// For the end temperature [℃] the heat-loss law gives from the same start; none where the
    /// start is wet.
    std::shared_ptr<const HeatLossLawEnd> heatLossLaw{};
    std::optional<double> heatLossLawTend() const { return heatLossLaw ? heatLossLaw->celsius() : std::nullopt; }
    bool wet() const { return startDryness < 1 || dryness < 1; }
};

/// What one segment of a main gives. Numbers are valid only for a computed segment; the
/// temperatures are in ℃, the pressures in MPa.
struct SegmentRun {
    SegmentStatus status = SegmentStatus::notComputed;
    std::string message;  ///< why it failed or was not computed
    SegmentField field = SegmentField::none;
    std::optional<double> heatLoss;  ///< unit heat loss used [kJ/(m·h·℃)], typed or from the table
    double p0 = 0, t0 = 0;           ///< start state
    double velocity = 0;             ///< at the start [m/s]
    double Rmean = 0;                ///< mean specific friction loss [Pa/m]
    double pressureDrop = 0;         ///< [MPa]
    double pend = 0, tend = 0;       ///< end state
    double temperatureDrop = 0;      ///< [℃]
    double dropPerKm = 0;            ///< [℃/km]
    double heatLossKw = 0;           ///< [kW]
    /// tend less the saturation temperature at pend [℃]; none above the critical pressure or below
    /// the triple point, where there is no saturation temperature
    std::optional<double> superheat;
    /// Start velocity above the band of the DN class: a warning. Below it is only a note: the least
    /// steel that keeps a required pressure often lands there.
    bool velocityAboveBand = false;
    bool velocityBelowBand = false;
    bool superheatBelowMargin = false;
    /// What each flag means, for the remarks and tool tips; empty when it is not set:
    /// "起点流速 19.210 m/s 低于 DN200 的允许范围 30–50 m/s", "末端过热度 3.215 ℃ 低于裕量 5 ℃".
    std::string velocityNote, superheatNote;
    /// A typed flow below what leaves its end node: "流量 25 t/h 小于节点“N1”流出的 238.8 t/h".
    std::string flowNote;
    /// An insulated pipe at its start, its hottest point: what its surface and loss are, and the
    /// limits it breaks there.
    std::optional<InsulationCheck> insulation;
    /// Whether the segment carries a warning (velocity above its band, superheat below the margin,
    /// a typed flow below what leaves its end); a velocity below the band is no warning.
    bool flagged() const
    {
        return velocityAboveBand || superheatBelowMargin || !flowNote.empty() || (insulation && !insulation->warnings.empty());
    }
    std::optional<double> flow;  ///< [t/h] the flow the segment carries, typed or summed
    bool flowSummed = false;     ///< summed from the demands downstream, not typed
    bool flowSolved = false;     ///< solved with the network's pressures: shown to 0.001 t/h
    /// The end of every 100 m section, from the segment's start [m], MPa and K.
    std::vector<SectionEnd> sections;
    /// In a network: the indices of its nodes, in the direction the steam flows (a solved network's
    /// pipe that carries steam against its typed direction has them the other way round).
    std::optional<std::size_t> fromNode, toNode;
    std::optional<BalanceRun> balance;  ///< for a pipe computed by its energy balance
    /// In a solved network: the steam flows from the typed end (终点) to the typed start (起点), and
    /// the flow shows negative; the note says so, and where the start's numbers are from.
    bool reversed = false;
    std::string directionNote{};
};

enum class NodeKind { source, branch, consumer };

/// What one node of a network gives. Numbers are valid only for a computed node; [MPa], [℃].
struct NodeRun {
    std::string name{};
    NodeKind kind = NodeKind::consumer;
    bool computed = false;
    std::string message{};  ///< why it has no state
    double p = 0, t = 0;
    std::optional<double> tsat{}, superheat{};
    std::optional<double> pressureMargin{}, temperatureMargin{};  ///< against its requirements
    bool pressureShort = false, temperatureShort = false, superheatShort = false;
    std::optional<std::size_t> feed{};  ///< the segment that feeds it; none for the source
    /// Where wet steam arrives (按焓平衡): its dryness, and the water it carries [t/h].
    std::optional<double> dryness{}, condensate{};
    /// In a solved network: the part of its steam that comes from each source, in the order of
    /// PipelineResult::sources; they add up to 1.
    std::vector<double> shares{};
};

/// A source of a solved network: what it delivers.
struct SourceRun {
    std::size_t node = 0;    ///< its index in PipelineResult::nodes
    SourceKind kind = SourceKind::pressure;
    double flow = 0;         ///< [t/h] leaving it (less its own demand)
    double heatKw = 0;       ///< the enthalpy it delivers, flow × h [kW]
    double h = 0;            ///< of its steam [kJ/kg]
};

/// How the network solver ended: its outer iterations (each a calculation of every pipe), and the
/// largest difference between the end pressure of a pipe and the pressure of the node it feeds.
struct SolveRun {
    bool converged = false;
    int iterations = 0;
    double residual = 0;     ///< [MPa]
    double massResidual = 0; ///< the largest imbalance of the flows at a node [t/h]
    std::string message{};   ///< why it has no solution; empty when converged
};

/// The state along the main at the start and at the end of every 100 m section.
struct ProfilePoint {
    double distance;              ///< from the start of the main [m]
    double p;                     ///< [MPa]
    double t;                     ///< [℃]
    /// saturation temperature at p [℃]; none above the critical pressure or below the triple point
    std::optional<double> tsat;
    double dryness = 1;  ///< below 1 where the steam is wet (按焓平衡)
};

struct PipelineTotals {
    double length = 0;           ///< sum of the entered lengths of the computed segments [m]
    double demand = 0;           ///< [t/h] of a network's nodes
    std::optional<double> sourceFlow{};  ///< [t/h] leaving a network's source
    double pressureDrop = 0;     ///< [MPa]
    double temperatureDrop = 0;  ///< [℃]
    double heatLossKw = 0;       ///< [kW]
    std::optional<double> condensate{};  ///< [t/h] formed in all pipes, under 按焓平衡
};

struct PipelineResult {
    std::string startMessage;  ///< why the start state cannot be used; empty when it can
    std::vector<SegmentRun> segments;
    bool allComputed = false;
    PipelineTotals totals;     ///< the drops and losses only when all segments computed
    /// Along the main, or along the path to a network's critical consumer.
    std::vector<ProfilePoint> profile;
    std::vector<double> joints;  ///< distance of the end of each computed segment of it [m]

    bool network = false;
    std::string topologyMessage;  ///< the first fault of the network's layout, for one line; blank rows aside
    std::vector<NodeRun> nodes;   ///< in the order the pipes name them
    std::optional<std::size_t> critical;  ///< the critical consumer (最不利用户), an index of nodes
    /// Of a network solved for its flows (loops, several sources): how the solve went, and its
    /// sources; none for a tree fed from one source, computed pipe after pipe.
    std::optional<SolveRun> solve;
    std::vector<SourceRun> sources;
};

/// The segments from the source to a node of a network (its index in nodes), in the order the
/// steam passes them; every segment of a series main for none.
std::vector<std::size_t> pathTo(const PipelineResult& result, std::optional<std::size_t> node);

/// The profile along computed segments that follow each other, and the distance of each one's end.
std::pair<std::vector<ProfilePoint>, std::vector<double>> profileAlong(const PipelineResult& result,
                                                                       const std::vector<std::size_t>& path);

/// Computes the main segment by segment, each with the segment calculation of the main window,
/// from the start state of the document or the end state of the segment before. The first
/// friction guess of a segment is the specific friction loss of its pipe for its flow at its
/// start state. A failed segment keeps its message; the segments after it are not computed.
PipelineResult calculatePipeline(const PipelineDocument& document);

/// Whether every insulated pipe keeps its limits at its start: its surface temperature, the
/// allowed heat loss, its materials' temperatures.
bool insulationLimitsMet(const PipelineResult& result);

/// The unit heat loss [kJ/(m·h·℃)] that the heat-loss table gives for a catalogue DN, a laying
/// method and a steam temperature [℃], read as the table's window hands it over; none where the
/// table has no value (beyond DN 1000 or above 350 ℃). A DN between two rows of the table takes
/// the larger pipe's row.
std::optional<double> tableHeatLoss(int dn, HeatLossSource laying, double t);

}  // namespace dorvent
