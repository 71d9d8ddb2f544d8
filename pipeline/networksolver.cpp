#include "pipeline/networksolver.h"

#include <algorithm>
#include <cmath>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "mainwin/stateevaluation.h"
#include "mainwin/steaminput.h"
#include "numtext/decimalsum.h"
#include "numtext/formatnumber.h"
#include "pipeline/loopmodel.h"
#include "pipeline/pipecompute.h"
#include "pipes/guanjing.h"
#include "pipes/qiuliusu.h"
#include "steam/wetsteam.h"

namespace dorvent {
namespace {

std::string quoted(const std::string& name) { return "“" + name + "”"; }

bool superheated(const SteamState& state) { return state.area == region::steam || state.area == region::hotSteam; }

/// The enthalpy [kJ/kg] of steam where a pipe starts or ends.
double enthalpyOf(const PipelineDocument& document, const PipeStart& at)
{
    if (document.temperatureLaw == TemperatureLaw::enthalpyBalance) return at.h;
    SteamState state = at.state;
    refreshDensity(state);
    return state.bihan;
}

/// Steam at p [MPa] and t in the document's temperature unit, as the main window reads it; empty
/// when it is superheated steam, else why not.
std::string steamAt(const PipelineDocument& document, double p, double t, std::string_view unit, PipeStart& at)
{
    const std::string report = evaluateSteamParameters({p, "MPa", t, unit}, at.state);
    if (!superheated(at.state)) return report.empty() ? std::string(kNoStartStateMessage) : report;
    if (document.temperatureLaw == TemperatureLaw::enthalpyBalance) at.h = enthalpyOf({}, at);
    return {};
}

/// Steam at p [MPa] with enthalpy h: wet under the energy balance where h is below saturation.
std::optional<PipeStart> steamOf(const PipelineDocument& document, double p, double h)
{
    const std::optional<EnthalpyState> at = stateAt(p, h);
    if (!at) return std::nullopt;
    PipeStart start{.h = h};
    if (at->wet) {
        if (document.temperatureLaw != TemperatureLaw::enthalpyBalance) return std::nullopt;
        start.state = {.p = p, .t = at->T, .tsheshidu = at->T - kCelsiusZero, .area = region::saturation};
        return start;
    }
    evaluateSteamParameters({p, "MPa", at->T - kCelsiusZero, "℃"}, start.state);
    if (!superheated(start.state)) return std::nullopt;
    return start;
}

class Solver {
public:
    Solver(const PipelineDocument& document, const NetworkLayout& layout)
        : d_(document), layout_(layout), nodes_(layout.names.size()), pipes_(document.segments.size())
    {
    }

    PipelineResult run();

private:
    // The network as typed.
    std::string readSources();
    void findReached();
    std::string checkPipes();
    void firstResistances();

    // The square-law model solved with each pipe's last resistance.
    void solveModel();

    // Every pipe computed in the direction its steam flows.
    bool computePass();
    void mixInto(std::size_t n, const std::vector<std::size_t>& in);
    std::string backflow() const;
    std::vector<double> imbalances() const;
    void fillResults();
    void fail(const std::string& message);
    NodeKind kindOf(std::size_t n) const;
    double totalDemand() const;

    struct Node {
        SourceKind source = SourceKind::none;
        double demand = 0;          // t/h
        double inject = 0;          // t/h, of a fixed-flow source
        PipeStart start{};          // of a fixed-pressure source
        double temperature = 0;     // of a fixed-flow source, in temperatureUnit
        std::string temperatureUnit;
        bool reached = false;       // in a part of the network that a fixed-pressure source feeds
        double modelP = 0;          // MPa, by the square-law model
        std::optional<PipeStart> state;
        double injectedH = 0;       // kJ/kg, of a fixed-flow source's steam at its pressure
        double p = 0;               // MPa, as computed
        std::vector<double> shares;
        double water = 0;           // t/h carried in by wet steam
        std::optional<std::size_t> feed;
        std::string message;
    };
    struct Pipe {
        bool active = false;        // solved: sound, and reached
        bool stagnant = false;      // so little steam that it condenses: not computed, not mixed
        double R = 0;               // MPa/(t/h)², the square law's resistance
        double G = 0;               // t/h, positive from 起点 to 终点
        SegmentRun run{};
        std::optional<PipeStart> end; // where its steam leaves it, once computed
        double hEnd = 0;            // kJ/kg
    };

    const PipelineDocument& d_;
    const NetworkLayout& layout_;
    std::vector<Node> nodes_;
    std::vector<Pipe> pipes_;
    std::optional<LoopModel> model_;
    std::vector<std::size_t> order_;   // reached nodes, each after its parent in the model's forest
    std::vector<std::size_t> sourceNodes_;
    double flowScale_ = 1;             // t/h, the demands' sum
    PipelineResult result_;
    SolveRun solve_;
    std::string endFault_;             // the first pipe without its two ends, for the one line
    std::vector<int> touches_;         // by node, the pipes with both ends that name it
};

std::string Solver::readSources()
{
    const bool marked = marksSources(d_);
    PipelineDocument header;  // the start state alone, for startOf
    header.startPressure = d_.startPressure;
    header.startTemperature = d_.startTemperature;
    header.pressureUnit = d_.pressureUnit;
    header.temperatureUnit = d_.temperatureUnit;
    header.temperatureLaw = d_.temperatureLaw;
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        Node& node = nodes_[n];
        const NetworkNode* data = layout_.data[n];
        if (data != nullptr) {
            if (data->notNumbers.count("demand") != 0) return "节点" + quoted(layout_.names[n]) + "的用汽量不是数值";
            node.demand = data->demand.value_or(0.0);
            flowScale_ += node.demand;
        }
        node.source = marked ? (data != nullptr ? data->source : SourceKind::none)
                             : (n == layout_.source ? SourceKind::pressure : SourceKind::none);
        if (node.source == SourceKind::none) continue;
        const std::string name = "热源" + quoted(layout_.names[n]);
        for (const char* key : {"sourcePressure", "sourceTemperature", "sourceFlow"}) {
            if (data != nullptr && data->notNumbers.count(key) != 0) return name + "的输入不是数值：" + data->notNumbers.at(key);
        }
        // A source's own state is in MPa and ℃, as its columns say; what it leaves empty is the header's.
        PipelineDocument own = header;
        if (data != nullptr && data->sourcePressure) {
            own.startPressure = data->sourcePressure;
            own.pressureUnit = "MPa";
        }
        if (data != nullptr && data->sourceTemperature) {
            own.startTemperature = data->sourceTemperature;
            own.temperatureUnit = "℃";
        }
        if (node.source == SourceKind::pressure) {
            const std::string why = startOf(own, node.start);
            if (!why.empty()) return name + "：" + why;
        } else {
            if (data == nullptr || !data->sourceFlow) return name + "：请输入热源流量";
            if (!own.startTemperature) return name + "：请输入热源温度";
            node.inject = *data->sourceFlow;
            node.temperature = *own.startTemperature;
            node.temperatureUnit = own.temperatureUnit;
            flowScale_ += node.inject;
        }
        sourceNodes_.push_back(n);
    }
    double injected = 0, demanded = 0;
    for (const Node& node : nodes_) {
        injected += node.inject;
        demanded += node.demand;
    }
    if (injected > demanded + kNoFlow) {
        return "定流量热源共供汽 " + formatShortest(injected) + " t/h，多于总用汽量 " + formatShortest(demanded) +
               " t/h：多余的蒸汽将倒流入定压热源";
    }
    if (std::none_of(nodes_.begin(), nodes_.end(), [](const Node& node) { return node.source == SourceKind::pressure; })) {
        return marked ? "管网没有定压热源：至少一个热源应给定压力"
                      : "管网没有热源：每个节点都有管段供汽，请在节点表的“热源”列中指定热源";
    }
    return {};
}

/// The square-law model of the sound pipes, and what it reaches: the nodes joined to a
/// fixed-pressure source through pipes whichever way they point.
void Solver::findReached()
{
    std::vector<std::optional<LoopModel::Ends>> ends(pipes_.size());
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        const PipelineSegment& s = d_.segments[i];
        if (s.from.empty() || s.to.empty() || s.from == s.to) continue;
        ends[i] = LoopModel::Ends{*layout_.indexOf(s.from), *layout_.indexOf(s.to)};
    }
    std::vector<std::optional<double>> fixed(nodes_.size());
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        if (nodes_[n].source == SourceKind::pressure) fixed[n] = nodes_[n].start.state.p;
    }
    model_.emplace(ends, fixed);
    order_ = model_->order();
    for (const std::size_t n : order_) nodes_[n].reached = true;
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        if (!ends[i]) continue;
        pipes_[i].active = nodes_[ends[i]->from].reached;
        if (!pipes_[i].active) pipes_[i].run.message = "未计算：没有定压热源与该管段相连";
    }
}

/// The first fault of a pipe that the solve needs; the pipe keeps it.
std::string Solver::checkPipes()
{
    // Every typed flow at once: each is refused at its cell, and the line names them all.
    std::string typed;
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        const PipelineSegment& s = d_.segments[i];
        if (!pipes_[i].active || (!s.flow && s.notNumbers.count("flow") == 0)) continue;
        failRun(pipes_[i].run, kTypedFlowMessage, SegmentField::flow);
        typed += (typed.empty() ? "" : "、") + std::to_string(i + 1);
    }
    if (!typed.empty()) return "管段 " + typed + "：" + std::string(kTypedFlowMessage);
    PipeStart any;  // the inputs that do not depend on the steam, checked with any steam
    for (const std::size_t n : sourceNodes_) {
        if (nodes_[n].source == SourceKind::pressure) any = nodes_[n].start;
    }
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        if (!pipes_[i].active) continue;
        SegmentRun probe;
        probe.t0 = any.state.tsheshidu;
        if (!pipeInput(d_, d_.segments[i], PipeFlow{.value = 1.0, .summed = true}, any.state, 0.0, probe) &&
            probe.field != SegmentField::heatLoss) {
            pipes_[i].run = probe;
            return "管段 " + std::to_string(i + 1) + "：" + probe.message;
        }
    }
    return {};
}

/// Why the solution found cannot be run: a fixed-pressure source that would take steam in.
std::string Solver::backflow() const
{
    const std::vector<double> net = imbalances();
    for (const std::size_t n : sourceNodes_) {
        const double produced = -net[n];  // what leaves it through its pipes, and its own demand
        if (nodes_[n].source == SourceKind::pressure && produced < -kNoFlow) {
            return "热源" + quoted(layout_.names[n]) + "的供汽量为 " + formatFixed(produced, 3) +
                   " t/h，蒸汽将倒流入该热源：应提高其压力，或降低其他热源的压力或流量";
        }
    }
    return {};
}

/// By node: what the pipes bring and a fixed-flow source adds, less what the pipes take and its
/// demand [t/h]; nothing at a node that nothing reaches.
std::vector<double> Solver::imbalances() const
{
    std::vector<double> net(nodes_.size(), 0.0);
    for (const std::size_t n : order_) net[n] = nodes_[n].inject - nodes_[n].demand;
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        if (!pipes_[i].active) continue;
        net[*layout_.indexOf(d_.segments[i].from)] -= pipes_[i].G;
        net[*layout_.indexOf(d_.segments[i].to)] += pipes_[i].G;
    }
    return net;
}

/// The square law's resistance [MPa/(t/h)²] of a pipe by its friction alone, for a flow [t/h] of
/// steam in a state: the specific friction loss over its length with local resistances.
double frictionResistance(const PipelineSegment& s, SteamState state, double flow)
{
    const double density = refreshDensity(state);
    const PipeSize* row = findCatalogueRow(s.dn);
    const double D = row != nullptr ? static_cast<double>(row->waijing) : s.outerDiameter.value_or(100);
    const double wall = row != nullptr ? static_cast<double>(row->bihou) : s.wall.value_or(4);
    double w = 0, R = 0;
    const auto area = state.area == region::saturation ? region::steam : state.area;
    if (qiuliusu(area, static_cast<float>(flow), density, D, wall, w, R) || R <= 0) R = 100;  // Pa/m
    return R * s.length.value_or(100) * (1 + s.zeta.value_or(0)) * 1e-6 / (flow * flow);
}

/// A first resistance of every pipe, by its friction at 10 t/h at the state of the first
/// fixed-pressure source.
void Solver::firstResistances()
{
    const std::size_t first = *std::find_if(sourceNodes_.begin(), sourceNodes_.end(),
                                            [this](std::size_t n) { return nodes_[n].source == SourceKind::pressure; });
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        if (pipes_[i].active) pipes_[i].R = frictionResistance(d_.segments[i], nodes_[first].start.state, 10);
    }
}

/// The flows and pressures of the square-law model with each pipe's resistance as it stands.
void Solver::solveModel()
{
    std::vector<double> S(pipes_.size(), 0.0), out(nodes_.size(), 0.0);
    for (std::size_t i = 0; i < pipes_.size(); ++i) S[i] = pipes_[i].active ? pipes_[i].R : 0.0;
    for (const std::size_t n : order_) out[n] = nodes_[n].demand - nodes_[n].inject;
    model_->solve(S, out, 1e-4 * flowScale_);
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        if (pipes_[i].active) pipes_[i].G = model_->flows()[i];
    }
    for (const std::size_t n : order_) nodes_[n].modelP = model_->pressures()[n];
}

/// The steam arriving at a node mixed: by its enthalpy, at the end pressure of its largest inflow.
/// A node that one pipe feeds takes that pipe's end as it is, to the last digit.
void Solver::mixInto(std::size_t n, const std::vector<std::size_t>& in)
{
    Node& node = nodes_[n];
    const auto own = std::find(sourceNodes_.begin(), sourceNodes_.end(), n);
    const std::size_t ownIndex = static_cast<std::size_t>(own - sourceNodes_.begin());
    node.shares.assign(sourceNodes_.size(), 0.0);
    node.water = 0;
    node.state.reset();
    node.p = node.modelP;
    if (node.source == SourceKind::pressure) {
        node.p = node.start.state.p;
        node.state = node.start;
        node.shares[ownIndex] = 1;
        return;
    }
    double flow = node.inject, enthalpy = 0;
    bool known = true;
    for (const std::size_t i : in) {
        const Pipe& pipe = pipes_[i];
        const double G = std::abs(pipe.G);
        if (pipe.stagnant) {
            node.water += G;  // arrives as condensate
            continue;
        }
        if (!pipe.end) {
            known = false;
            continue;
        }
        if (!node.feed || G > std::abs(pipes_[*node.feed].G)) node.feed = i;
        flow += G;
        enthalpy += G * pipe.hEnd;
        const std::vector<double>& from = nodes_[*pipe.run.fromNode].shares;
        for (std::size_t k = 0; k < node.shares.size(); ++k) node.shares[k] += G * from[k];
        if (pipe.run.balance) node.water += pipe.run.balance->water;
    }
    if (!known) {
        node.message = "上游管段未算出";
        return;
    }
    if (node.feed) node.p = pipes_[*node.feed].run.pend;
    if (node.inject > 0) node.shares[ownIndex] += node.inject;
    if (flow <= 0) {
        node.message = node.water > 0 ? "上游近乎滞流，只有凝结水流到该节点" : "没有蒸汽流到该节点";
        return;
    }
    for (double& share : node.shares) share /= flow;
    if (in.size() == 1 && node.inject == 0) {
        node.state = pipes_[in.front()].end;
        return;
    }
    if (node.inject > 0) {
        PipeStart injected;
        const std::string why = steamAt(d_, node.p, node.temperature, node.temperatureUnit, injected);
        if (!why.empty()) {
            node.message = "热源" + quoted(layout_.names[n]) + "的蒸汽：" + why;
            return;
        }
        node.injectedH = enthalpyOf(d_, injected);
        enthalpy += node.inject * node.injectedH;
    }
    node.state = steamOf(d_, node.p, enthalpy / flow);
    if (!node.state) node.message = "汇合后的蒸汽不属于过热蒸汽";
}

/// Every pipe that carries steam, computed from the node its steam leaves, the nodes taken in the
/// order the steam reaches them. False where a pipe cannot be computed.
bool Solver::computePass()
{
    std::vector<std::vector<std::size_t>> into(nodes_.size()), outOf(nodes_.size());
    std::vector<int> pending(nodes_.size(), 0);
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        Pipe& pipe = pipes_[i];
        if (!pipe.active) continue;
        pipe.end.reset();
        pipe.stagnant = false;
        pipe.run = SegmentRun{};
        const std::size_t from = *layout_.indexOf(d_.segments[i].from), to = *layout_.indexOf(d_.segments[i].to);
        pipe.run.fromNode = from;
        pipe.run.toNode = to;
        if (std::abs(pipe.G) <= kNoFlow) continue;
        if (pipe.G < 0) std::swap(*pipe.run.fromNode, *pipe.run.toNode);
        outOf[*pipe.run.fromNode].push_back(i);
        into[*pipe.run.toNode].push_back(i);
        ++pending[*pipe.run.toNode];
    }
    const auto lower = [this](std::size_t a, std::size_t b) { return nodes_[a].modelP < nodes_[b].modelP; };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(lower)> ready(lower);
    std::size_t reached = 0;
    for (const std::size_t n : order_) {
        nodes_[n].feed.reset();
        nodes_[n].message.clear();
        ++reached;
        if (pending[n] == 0) ready.push(n);
    }
    bool sound = true;
    double length = 0;
    std::size_t done = 0;
    while (!ready.empty()) {
        const std::size_t n = ready.top();
        ready.pop();
        ++done;
        mixInto(n, into[n]);
        for (const std::size_t i : outOf[n]) {
            Pipe& pipe = pipes_[i];
            const std::optional<std::size_t> from = pipe.run.fromNode, to = pipe.run.toNode;
            if (nodes_[n].state) {
                PipeStart start = *nodes_[n].state;
                pipe.run = computePipeByLaw(d_, d_.segments[i], PipeFlow{.value = std::abs(pipe.G), .summed = true}, start, length);
                if (pipe.run.status == SegmentStatus::computed) {
                    pipe.end = start;
                    pipe.hEnd = enthalpyOf(d_, start);
                    length += *d_.segments[i].length;
                    pipe.R = std::max(pipe.run.pressureDrop, 1e-12) / (pipe.G * pipe.G);
                }
            } else if (nodes_[n].water > 0) {
                pipe.stagnant = true;  // condensate from a stagnant pipe goes on
                pipe.run.message = "未计算：上游近乎滞流，只有凝结水流入";
            } else {
                pipe.run.message = "未计算：上游未算出";
            }
            if (pipe.run.status == SegmentStatus::failed && pipe.run.velocity > 0 && pipe.run.velocity < kStagnantVelocity) {
                // Steam that barely moves condenses in any pipe: a dead leg that needs draining, and
                // too little to change the node it joins. Its drop is its friction's alone.
                pipe.stagnant = true;
                const double velocity = pipe.run.velocity;
                pipe.run = SegmentRun();
                pipe.run.message = "流速 " + formatFixed(velocity, 3) + " m/s，近乎滞流，管内蒸汽冷凝，未计算：应设疏水";
                pipe.R = frictionResistance(d_.segments[i], nodes_[n].state->state, std::abs(pipe.G));
            }
            sound = sound && (pipe.run.status == SegmentStatus::computed || pipe.stagnant);
            pipe.run.fromNode = from;
            pipe.run.toNode = to;
            if (--pending[*to] == 0) ready.push(*to);
        }
    }
    if (done < reached) return false;  // steam going round a loop: not yet a solution
    // The end of every pipe computed against the pressure of the node it feeds; across a stagnant
    // pipe, the drop of its friction.
    solve_.residual = 0;
    for (const Pipe& pipe : pipes_) {
        if (pipe.end) {
            solve_.residual = std::max(solve_.residual, std::abs(pipe.run.pend - nodes_[*pipe.run.toNode].p));
        } else if (pipe.stagnant) {
            const double drop = nodes_[*pipe.run.fromNode].p - nodes_[*pipe.run.toNode].p;
            solve_.residual = std::max(solve_.residual, std::abs(drop - pipe.R * pipe.G * pipe.G));
        }
    }
    return sound;
}

/// No results: every pipe and node that the solve would have given says why not.
void Solver::fail(const std::string& message)
{
    solve_.message = message;
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        SegmentRun& run = pipes_[i].run;
        if (pipes_[i].active && run.status != SegmentStatus::failed) {
            run = SegmentRun();
            run.message = "未计算：管网未能求解";
        }
        if (run.message.empty() && run.status != SegmentStatus::failed) run.message = "未计算：管网未能求解";
        run.fromNode = layout_.indexOf(d_.segments[i].from);
        run.toNode = layout_.indexOf(d_.segments[i].to);
        if (pipes_[i].active) run.flow.reset();  // no flow is known where nothing is solved
    }
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        NodeRun node{.name = layout_.names[n], .kind = kindOf(n), .message = "管网未能求解"};
        // The schematic still draws the network: along the model's forest, from the sources.
        if (model_ && model_->parentPipe(n)) {
            const std::size_t i = *model_->parentPipe(n);
            node.feed = i;
            pipes_[i].run.fromNode = model_->parent(n);
            pipes_[i].run.toNode = n;
        }
        result_.nodes.push_back(std::move(node));
    }
    for (std::size_t i = 0; i < pipes_.size(); ++i) result_.segments[i] = pipes_[i].run;
    result_.totals.demand = totalDemand();
    result_.solve = solve_;
    result_.topologyMessage = endFault_;
}

/// A source, a consumer (a node with a demand, or the end of a line), or a branch point.
NodeKind Solver::kindOf(std::size_t n) const
{
    if (nodes_[n].source != SourceKind::none) return NodeKind::source;
    return nodes_[n].demand > 0 || touches_[n] <= 1 ? NodeKind::consumer : NodeKind::branch;
}

/// The nodes' demands added as decimals, so that 0.1 + 0.2 t/h read 0.3.
double Solver::totalDemand() const
{
    double total = 0;
    for (const NetworkNode* data : layout_.data) {
        if (data != nullptr && data->demand) total = addDecimals(total, *data->demand);
    }
    return total;
}

/// The solved network as results: pipes, nodes, sources, totals.
void Solver::fillResults()
{
    const std::vector<double> imbalance = imbalances();
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        Pipe& pipe = pipes_[i];
        SegmentRun& run = pipe.run;
        if (pipe.active) {
            const std::size_t from = *layout_.indexOf(d_.segments[i].from), to = *layout_.indexOf(d_.segments[i].to);
            if (std::abs(pipe.G) <= kNoFlow && !pipe.stagnant) {
                run = SegmentRun();
                run.message = "管段中没有蒸汽流动";
                run.fromNode = from;
                run.toNode = to;
                pipe.G = 0;
            }
            run.flow = pipe.G;
            run.flowSummed = true;
            run.flowSolved = true;
            run.reversed = pipe.G < 0;
            if (run.reversed) {
                run.directionNote = "蒸汽由终点" + quoted(d_.segments[i].to) + "流向起点" + quoted(d_.segments[i].from) +
                                    "，起点参数为" + quoted(d_.segments[i].to) + "处的";
            }
            if (run.status == SegmentStatus::computed) {
                result_.totals.length += *d_.segments[i].length;
                result_.totals.heatLossKw += run.heatLossKw;
                addCondensate(result_.totals, run);
            }
        }
        result_.segments[i] = run;
    }
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        const Node& node = nodes_[n];
        const NetworkNode* data = layout_.data[n];
        NodeRun run{.name = layout_.names[n], .feed = node.feed, .shares = node.shares};
        run.kind = kindOf(n);
        if (!node.reached) {
            run.message = "没有定压热源与该节点相连";
        } else if (!node.state) {
            run.message = node.message.empty() ? "没有蒸汽流到该节点" : node.message;
        } else {
            run.computed = true;
            run.p = node.p;
            run.t = node.state->state.tsheshidu;
            run.tsat = saturationCelsius(run.p);
            if (node.state->state.area == region::saturation) {
                run.superheat = 0.0;
                if (const auto at = stateAt(run.p, node.state->h)) run.dryness = at->dryness;
                run.condensate = node.water;
            } else if (run.tsat) {
                run.superheat = run.t - *run.tsat;
            }
            run.superheatShort = run.superheat && *run.superheat < d_.superheatMargin;
            if (data != nullptr && data->requiredPressure) run.pressureMargin = run.p - *data->requiredPressure;
            if (data != nullptr && data->requiredTemperature) run.temperatureMargin = run.t - *data->requiredTemperature;
            run.pressureShort = run.pressureMargin && *run.pressureMargin < 0;
            run.temperatureShort = run.temperatureMargin && *run.temperatureMargin < 0;
        }
        result_.nodes.push_back(std::move(run));
    }
    double delivered = 0;
    for (const std::size_t n : sourceNodes_) {
        const Node& node = nodes_[n];
        SourceRun source{.node = n, .kind = node.source};
        if (node.source == SourceKind::pressure) {
            source.flow = -imbalance[n];  // what leaves it through its pipes, and its own demand
            source.h = enthalpyOf(d_, node.start);
        } else {
            source.flow = node.inject;
            source.h = node.injectedH;
        }
        source.heatKw = source.flow * source.h / 3.6;
        if (node.reached) delivered += source.flow;
        result_.sources.push_back(source);
    }
    result_.totals.sourceFlow = delivered;
    result_.totals.demand = totalDemand();
    // The largest imbalance at a node that is no fixed-pressure source: those balance by their flow.
    solve_.massResidual = 0;
    for (const std::size_t n : order_) {
        if (nodes_[n].source != SourceKind::pressure) solve_.massResidual = std::max(solve_.massResidual, std::abs(imbalance[n]));
    }
    result_.solve = solve_;
    result_.topologyMessage = endFault_;
    result_.allComputed = std::all_of(pipes_.begin(), pipes_.end(), [](const Pipe& pipe) {
        return pipe.run.status == SegmentStatus::computed || (pipe.active && (pipe.G == 0 || pipe.stagnant));
    });
}

PipelineResult Solver::run()
{
    result_.network = true;
    result_.segments.resize(d_.segments.size());
    touches_.assign(nodes_.size(), 0);
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        pipes_[i].run.fromNode = layout_.indexOf(d_.segments[i].from);
        pipes_[i].run.toNode = layout_.indexOf(d_.segments[i].to);
        const PipelineSegment& s = d_.segments[i];
        if (s.from.empty() || s.to.empty() || s.from == s.to) {
            failRun(pipes_[i].run, layout_.faults[i]->second, layout_.faults[i]->first);
            if (endFault_.empty() && !isBlank(s)) endFault_ = "管段 " + std::to_string(i + 1) + "：" + pipes_[i].run.message;
        } else {
            ++touches_[*layout_.indexOf(s.from)];
            ++touches_[*layout_.indexOf(s.to)];
        }
    }
    if (std::string why = readSources(); !why.empty()) {
        fail(why);
        return std::move(result_);
    }
    findReached();
    if (std::string why = checkPipes(); !why.empty()) {
        fail(why);
        return std::move(result_);
    }
    firstResistances();
    int failing = 0, negative = 0;
    for (int iteration = 1; iteration <= kMostSolveIterations; ++iteration) {
        solve_.iterations = iteration;
        solveModel();
        // The first resistances are estimates: the model's pressures are trusted once pipes were computed.
        const auto below = std::find_if(order_.begin(), order_.end(), [this](std::size_t n) { return nodes_[n].modelP <= 0; });
        negative = below != order_.end() ? negative + 1 : 0;
        if (negative >= 3) {
            fail("热源压力不足以输送所需用汽量：节点" + quoted(layout_.names[*below]) + "的压力将降到零以下");
            return std::move(result_);
        }
        const bool sound = computePass();
        if (sound && solve_.residual <= kPressureTolerance) {
            solve_.converged = true;
            break;
        }
        failing = sound ? 0 : failing + 1;
        if (failing >= 3) {
            for (std::size_t i = 0; i < pipes_.size(); ++i) {
                const SegmentRun& run = pipes_[i].run;
                if (pipes_[i].active && run.status == SegmentStatus::failed) {
                    // The heat-loss law stops where steam would condense, which in a slow pipe of a
                    // loop is the heat lost, not the drop: the energy balance goes on into wet steam.
                    const bool condensing = d_.temperatureLaw == TemperatureLaw::heatLoss && run.message == kEndNotSuperheatedMessage;
                    fail("管段 " + std::to_string(i + 1) + " 算不出：" +
                         (condensing ? std::string("末端蒸汽不属于过热蒸汽，多因管内流速低、散热使蒸汽冷凝（也可能是压降过大）；"
                                                   "可改用“按焓平衡”计算湿蒸汽")
                                     : run.message));
                    return std::move(result_);
                }
            }
            fail("管网无法求解：蒸汽流向无法确定");
            return std::move(result_);
        }
    }
    if (!solve_.converged) {
        fail("管网求解未收敛：计算 " + std::to_string(kMostSolveIterations) + " 次后，节点处管段末端压力仍相差 " +
             formatFixed(solve_.residual * 1e6, 1) + " Pa，超过允许的 " + formatShortest(kPressureTolerance * 1e6) + " Pa");
        return std::move(result_);
    }
    if (std::string why = backflow(); !why.empty()) {
        fail(why);
        return std::move(result_);
    }
    fillResults();
    return std::move(result_);
}

}  // namespace

bool needsSolve(const PipelineDocument& document, const NetworkLayout& layout)
{
    return marksSources(document) || !layout.source || layout.fedTwice;
}

PipelineResult solveNetwork(const PipelineDocument& document, const NetworkLayout& layout)
{
    return Solver(document, layout).run();
}

}  // namespace dorvent
