#include <gtest/gtest.h>

#include <algorithm>

#include "mainwin/steaminput.h"
#include "numtext/formatnumber.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/treelayout.h"
#include "pipes/chosenpipe.h"
#include "segment/segmentcommand.h"

namespace dorvent {
namespace {

/// The worked design as a segment: DN200 over 250 m, 10 t/h, overhead laying.
PipelineSegment workedSegment()
{
    return {.label = "A-B", .dn = 200, .length = 250, .flow = 10, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20,
            .dropPerKm = 5, .heatLossSource = HeatLossSource::overhead};
}

/// The worked design with one input changed.
template <typename Field, typename Value>
PipelineSegment workedWith(Field PipelineSegment::*field, Value value)
{
    PipelineSegment s = workedSegment();
    s.*field = value;
    return s;
}

PipelineDocument mainOf(std::vector<PipelineSegment> segments) { return {.startPressure = 1, .startTemperature = 250, .segments = std::move(segments)}; }

/// The segment result box of the main window for the same segment, started from the typed
/// pressure [MPa] and temperature [℃], with its friction guess as the pipe frame shows it.
std::string mainWindowResult(const std::string& pressure, const std::string& temperature, const PipelineSegment& s,
                             const std::string& heatLoss)
{
    SteamState state;
    duqucanshu({pressure, "MPa", temperature, "℃"}, state);
    const auto typed = [](const std::optional<double>& value) { return formatShortest(*value); };
    const ChosenPipeResult pipe = evaluateChosenPipe(state, {typed(s.flow), "DN200", "219", "6"});
    return runSegmentCalculation({.dn = "DN200", .waijing = "219", .bihou = "6", .length = typed(s.length), .zeta = typed(s.zeta), .beta = typed(s.beta),
                                  .phi = typed(s.phi), .ambient = typed(s.ambient), .heatLoss = heatLoss, .drop = typed(s.dropPerKm),
                                  .flow = typed(s.flow), .friction = pipe.friction}, state);
}

std::string resultText(const SegmentRun& run)
{
    return segmentReport({.pend = run.pend, .Tend = run.tend + 273.15, .Qsum = run.heatLossKw * 3600,
                          .dTsum = run.temperatureDrop, .dTkm = run.dropPerKm, .Rmean = run.Rmean});
}

TEST(Pipeline, EachSegmentGivesWhatTheMainWindowGivesForItsStartState)
{
    // The second segment: the same pipe as one's own, every input different, the heat loss typed.
    const PipelineSegment second{.label = "B-C", .outerDiameter = 219, .wall = 6, .length = 420.7, .flow = 8, .zeta = 0.25, .beta = 0.15,
                                 .phi = 0.9, .ambient = -5, .dropPerKm = 4.5, .heatLoss = 3.02};
    const PipelineResult r = calculatePipeline(mainOf({workedSegment(), second}));
    ASSERT_TRUE(r.allComputed) << r.segments[0].message << r.segments[1].message;
    const SegmentRun& first = r.segments[0];
    // The same to the last bit as the main window (the first with the table's 3.02 for DN200, overhead,
    // 200 ℃ < t <= 300 ℃), the second segment started from the first one's end state typed back in full.
    EXPECT_EQ(resultText(first), mainWindowResult("1", "250", workedSegment(), "3.02"));
    EXPECT_EQ(resultText(r.segments[1]), mainWindowResult(formatShortest(first.pend), formatShortest(first.tend), second, "3.02"));
    EXPECT_EQ(std::tuple(r.segments[1].p0, r.segments[1].t0), std::tuple(first.pend, first.tend));

    // What the table shows: every input as typed, and the totals (a row's results: the window test).
    std::vector<std::string> shown;
    for (int c = 0; c < static_cast<int>(kFirstResultColumn); ++c) shown.push_back(cellText(second, &r.segments[1], static_cast<Column>(c)));
    EXPECT_EQ(shown, (std::vector<std::string>{"B-C", "", "", "自选", "", "219", "6", "420.7", "8", "0.25", "0.9", "0.15", "-5", "4.5", "输入", "3.02"}));
    std::vector<std::string> totals;
    for (const Column c : {Column::length, Column::pressureDrop, Column::temperatureDrop, Column::heatLossKw, Column::pend}) totals.push_back(totalsText(r, c));
    EXPECT_EQ(totals, (std::vector<std::string>{"670.7", formatFixed(1 - r.segments[1].pend, 3),
                                                formatFixed(first.temperatureDrop + r.segments[1].temperatureDrop, 3),
                                                formatFixed(first.heatLossKw + r.segments[1].heatLossKw, 3), ""}));

    // The profile: the start, then every section end (100, 100, 50; then 100 x 4, 21), joined.
    ASSERT_EQ(r.profile.size(), 1u + 3 + 5);
    EXPECT_EQ(std::tuple(r.profile[3].distance, r.profile.back().distance, r.joints), std::tuple(250.0, 671.0, std::vector<double>{250, 671}));
    EXPECT_EQ(std::tuple(r.profile[3].p, r.profile[3].t), std::tuple(first.pend, first.tend));
    EXPECT_NEAR(*r.profile[0].tsat, 179.886, 0.001);  // saturation at 1 MPa
}

TEST(Pipeline, AFailedSegmentKeepsTheOnesBeforeAndStopsTheOnesAfter)
{
    using S = PipelineSegment;
    const PipelineSegment tooLong = workedWith(&S::length, 5000.0);  // the pressure runs out
    const PipelineResult r = calculatePipeline(mainOf({workedSegment(), tooLong, workedSegment(), workedSegment()}));
    ASSERT_EQ(r.segments.size(), 4u);
    EXPECT_EQ(std::tuple(r.segments[0].status, r.segments[1].status, r.segments[1].message),
              std::tuple(SegmentStatus::computed, SegmentStatus::failed, "压降过大，使末端蒸汽不属于过热蒸汽，不能用本程序计算"));
    for (std::size_t i : {2u, 3u}) {  // every segment after it, as the table shows them
        EXPECT_EQ(std::tuple(r.segments[i].status, cellText(workedSegment(), &r.segments[i], Column::remark),
                             cellText(workedSegment(), &r.segments[i], Column::pend)),
                  std::tuple(SegmentStatus::notComputed, "未计算：前面的管段未算出", "")) << i;
    }
    EXPECT_EQ(std::tuple(r.allComputed, r.joints, r.profile.back().distance),  // the profile ends where the calculation stopped
              std::tuple(false, std::vector<double>{250}, 250.0));
    // The totals count the segments computed: the length of the first only, and no drops.
    EXPECT_EQ(totalsText(r, Column::length), "250");
    for (const Column c : {Column::pressureDrop, Column::temperatureDrop, Column::heatLossKw}) EXPECT_EQ(totalsText(r, c), "") << int(c);
    // The 1000 km bound holds for the whole main: two trunk segments of 600 and 400 km compute, one
    // metre more does not, although each segment alone is shorter.
    const PipelineSegment trunk{.dn = 1000, .length = 600000, .flow = 200, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 10, .dropPerKm = 5, .heatLoss = 0.05};
    PipelineDocument trunkMain{.startPressure = 10, .startTemperature = 550, .segments = {trunk, trunk}};
    trunkMain.segments[1].length = 400000;
    EXPECT_TRUE(calculatePipeline(trunkMain).allComputed);
    trunkMain.segments[1].length = 400001;
    const SegmentRun beyond = calculatePipeline(trunkMain).segments[1];
    EXPECT_EQ(std::tuple(beyond.status, beyond.field, beyond.message),
              std::tuple(SegmentStatus::failed, SegmentField::length, "管线总长不能超过1000km"));
    const PipelineSegment endless = workedWith(&S::length, 1e308);
    EXPECT_EQ(totalsText(calculatePipeline(mainOf({endless, endless})), Column::length), "0");

    // A pipe of one's own, and the inputs that are missing or have no physical meaning, each refused at its cell.
    const auto own = [](double D, double wall, std::optional<double> heatLoss, HeatLossSource source = HeatLossSource::typed) {
        auto s = workedSegment();
        std::tie(s.dn, s.outerDiameter, s.wall, s.heatLossSource, s.heatLoss) = std::tuple(0, D, wall, source, heatLoss);
        return s;
    };
    const struct { PipelineSegment segment; SegmentField field; std::string message; } refusals[] = {
        {own(219, 6, {}, HeatLossSource::overhead), SegmentField::heatLoss, "自选管道没有公称直径，请输入单位热损失"},
        {workedWith(&S::dn, 1200), SegmentField::heatLoss, "热损失表中没有该公称直径，请输入单位热损失"},
        {workedWith(&S::length, std::nullopt), SegmentField::length, "请输入管段长度"},
        {workedWith(&S::length, 0.5), SegmentField::length, "管段长度应大于0.5m"},
        {workedWith(&S::length, 1000000.5), SegmentField::length, "管线总长不能超过1000km"},
        {own(219, 110, 3.02), SegmentField::wall, "壁厚不符合实际"},
        {own(-219, -6, 3.02), SegmentField::outerDiameter, "外径不能为负数"},
        {own(219, -6, 3.02), SegmentField::wall, "壁厚不能为负数"},
        {own(219, 6, -3.02), SegmentField::heatLoss, "单位热损失不能为负数"},
        {workedWith(&S::flow, -10), SegmentField::flow, "蒸汽流量不能为负数"},
        {workedWith(&S::zeta, -0.2), SegmentField::zeta, "局部阻力系数不能为负数"},
        {workedWith(&S::beta, -0.2), SegmentField::beta, "局部热损失系数不能为负数"},
        {workedWith(&S::phi, -1), SegmentField::phi, "同时使用系数不能为负数"},
        {workedWith(&S::ambient, -300), SegmentField::ambient, "环境温度不能低于-273.15℃"},
    };
    for (const auto& c : refusals) {
        const SegmentRun run = calculatePipeline(mainOf({c.segment})).segments.at(0);
        EXPECT_EQ(std::tuple(run.status, run.field, run.message), std::tuple(SegmentStatus::failed, c.field, c.message));
    }
    // A text in place of a number stops its segment, at its cell; one left under a catalogue pipe does not.
    PipelineSegment typed = own(219, 6, 3.02);
    EXPECT_TRUE(setCellText(typed, Column::outerDiameter, "2l9"));
    SegmentRun run = calculatePipeline(mainOf({typed})).segments[0];
    EXPECT_EQ(std::tuple(run.field, run.message, cellProblem(typed, Column::outerDiameter)),
              std::tuple(SegmentField::outerDiameter, "外径“2l9”不是数值", "“2l9”不是数值"));
    typed.dn = 200;
    EXPECT_EQ(calculatePipeline(mainOf({typed})).segments[0].status, SegmentStatus::computed);
    EXPECT_EQ(std::pair(cellText(typed, nullptr, Column::outerDiameter), cellProblem(typed, Column::outerDiameter)),
              std::pair(std::string("219"), std::string()));
    EXPECT_TRUE(setCellText(typed, Column::length, ""));  // emptied: asked for, not marked as text
    EXPECT_TRUE(typed.notNumbers.count("length") == 0 && calculatePipeline(mainOf({typed})).segments[0].message == "请输入管段长度");

    // The start state is read as the main window reads it: 10 kgf/cm2 and 523.15 K are 1 MPa, 250 ℃.
    PipelineDocument units = mainOf({workedSegment()});
    std::tie(units.startPressure, units.pressureUnit, units.startTemperature, units.temperatureUnit) = std::tuple(10, "kgf/cm2", 523.15, "K");
    EXPECT_EQ(resultText(calculatePipeline(units).segments[0]), resultText(r.segments[0]));
    units.startPressure = 1000;  // 100 MPa: water
    EXPECT_EQ(calculatePipeline(units).startMessage, "管段起点蒸汽不是过热蒸汽，不能用本程序计算");
    units.startPressure = 1001;
    EXPECT_EQ(calculatePipeline(units).startMessage + "|" + calculatePipeline(units).segments[0].message, "压力过高|未计算：起点状态不能计算");
}

TEST(Pipeline, HeatLossTableAndFlagsFollowTheSegmentsOwnStart)
{
    // The walkable trench's DN200 row differs in each band (3.06, 3.02, 2.85); an edge belongs to the band below it.
    using enum HeatLossSource;
    const struct { int dn; HeatLossSource laying; double t; std::optional<double> value; } table[] = {
        {200, walkableTrench, 200, 3.06}, {200, walkableTrench, 200.001, 3.02}, {200, walkableTrench, 300, 3.02},
        {200, walkableTrench, 300.001, 2.85}, {200, walkableTrench, 350, 2.85}, {200, walkableTrench, 350.001, {}},
        {200, overhead, 150, 3.02}, {200, nonWalkableTrench, 150, 3.22}, {100, overhead, 150, 2.01},
        {70, overhead, 150, 1.93} /* DN80's row */, {25, overhead, 250, 1.26}, {1000, overhead, 150, 8.58},
        {1200, overhead, 150, {}}, {200, typed, 150, {}},
    };
    for (const auto& row : table) EXPECT_EQ(tableHeatLoss(row.dn, row.laying, row.t), row.value) << row.dn << " " << row.t;
    // A main that crosses 300 ℃: each segment takes the band of its own start, and the table shows it.
    const PipelineSegment trench = workedWith(&PipelineSegment::heatLossSource, HeatLossSource::walkableTrench);
    PipelineDocument crossing = mainOf({trench, trench});
    crossing.startTemperature = 305;
    const PipelineResult across = calculatePipeline(crossing);
    ASSERT_TRUE(across.allComputed && across.segments[0].t0 > 300 && across.segments[1].t0 < 300) << across.segments[1].t0;
    EXPECT_EQ(cellText(trench, &across.segments[0], Column::heatLoss) + " " + cellText(trench, &across.segments[1], Column::heatLoss), "2.85 3.02");

    // 10 t/h runs at 19.2 m/s in DN200, below its band, at 36.7 m/s in DN150, inside it, and at 60.3 m/s in
    // DN125, above it. The superheat falls from 61.9 ℃ to 60.8 ℃, below a margin of 61 ℃ in the second only.
    PipelineDocument document = mainOf({workedSegment(), workedWith(&PipelineSegment::dn, 150), workedWith(&PipelineSegment::dn, 125)});
    document.superheatMargin = 61;
    const PipelineResult r = calculatePipeline(document);
    ASSERT_TRUE(r.allComputed);
    const auto remark = [&](std::size_t i) { return cellText(document.segments[i], &r.segments[i], Column::remark); };
    EXPECT_EQ(std::vector<std::string>({remark(0), remark(1), remark(2)}),  // the first a note, not a flag
              std::vector<std::string>({"提示：起点流速 19.210 m/s 低于 DN200 的允许范围 30–50 m/s", "末端过热度 60.802 ℃ 低于裕量 61 ℃",
                                        "起点流速 60.252 m/s 高于 DN125 的允许范围 30–50 m/s"}));
    EXPECT_EQ(std::pair(r.segments[0].flagged(), r.segments[2].flagged()), std::pair(false, true));
    document.superheatMargin = 100;  // a flag and a note: the flag first
    EXPECT_EQ(cellText(workedSegment(), &calculatePipeline(document).segments[0], Column::remark),
              "末端过热度 61.897 ℃ 低于裕量 100 ℃；提示：起点流速 19.210 m/s 低于 DN200 的允许范围 30–50 m/s");
}

TEST(Pipeline, SuperheatCellSaysWhyThereIsNoSaturationTemperature)
{
    // Steam that stays below the triple point (611.213 Pa) or above the critical pressure
    // (22.064 MPa) over the segment: no saturation temperature, so no superheat to show.
    const struct { double kPa; double t; std::string_view text; } ends[] = {{0.35, 400, "低于三相点"}, {25000, 600, "超临界"}};
    for (const auto& e : ends) {
        PipelineSegment s = workedSegment();
        std::tie(s.dn, s.length, s.flow, s.heatLossSource, s.heatLoss) = std::tuple(500, 40, 0.05, HeatLossSource::typed, 1);
        const PipelineResult r = calculatePipeline({.startPressure = e.kPa, .pressureUnit = "kPa", .startTemperature = e.t, .segments = {s}});
        ASSERT_EQ(r.segments[0].status, SegmentStatus::computed) << r.segments[0].message;
        EXPECT_EQ(std::pair(r.segments[0].superheat, cellText(s, &r.segments[0], Column::superheat)), std::pair(std::optional<double>(), std::string(e.text)));
    }
}

TEST(Pipeline, TextAndCsvShowLabelsAsTextOnlyAndSayWhyNothingComputed)
{
    // A label that fakes a result line, one that clears the terminal, and spreadsheet formulas.
    PipelineDocument d = mainOf({workedSegment(), workedSegment(), workedSegment(), workedSegment()});
    d.project = "东线\n末端压力(MPa) 9.999";
    d.designer = "王工\r\x7F~";
    std::tie(d.segments[0].label, d.segments[2].label, d.segments[3].label) = std::tuple("A-B\n  末端压力(MPa) 0.999", "=HYPERLINK(\"x\")", "-B,C");
    d.segments[1].label = std::string("\x1B[2J\xC2\x9B\0\xC2\x9F\xC2\xA0", 11);  // the last one, U+00A0, is no control
    setCellText(d.segments[3], Column::zeta, "=1+2");  // a text kept in a number cell
    const PipelineResult r = calculatePipeline(d);
    const std::string text = resultLines(d, r);
    EXPECT_NE(text.find("项目 东线\\n末端压力(MPa) 9.999\n设计人 王工\\r\\x7F~\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n管段 1 A-B\\n  末端压力(MPa) 0.999\n"), std::string::npos);
    EXPECT_NE(text.find("\n管段 2 \\x1B[2J\\u009B\\x00\\u009F\xC2\xA0\n"), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of(std::string("\x1B\0\r", 3)), std::string::npos);
    EXPECT_EQ(text.find("0.999"), text.rfind("0.999"));  // once, in the label: no segment ends at 0.999 MPa

    const std::string csv = csvTable(d, r);
    EXPECT_NE(csv.find("\r\nA-B\\n  末端压力(MPa) 0.999,,,DN200,,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n\"'=HYPERLINK(\"\"x\"\")\",,,DN200,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n\"'-B,C\",,,DN200,,219,6,250,10,'=1+2,"), std::string::npos) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 4 + 1);

    d.startPressure.reset();
    EXPECT_TRUE(csvTable(d, calculatePipeline(d)).ends_with(",起点状态：请输入起点压力\r\n"));
}

/// A pipe of the worked design's kind between two nodes; its flow summed unless given.
PipelineSegment pipe(const char* from, const char* to, double length, std::optional<double> flow = {})
{
    PipelineSegment s = workedSegment();
    std::tie(s.label, s.from, s.to, s.length, s.flow) = std::tuple(std::string(from) + "-" + to, from, to, length, flow);
    return s;
}

/// A source S feeding a branch point A, which feeds the consumers B (4 t/h, at least 0.95 MPa) and
/// C (6 t/h, at least 0.9 MPa and 240 ℃); B feeds D (2 t/h).
PipelineDocument parkOf(std::vector<PipelineSegment> pipes)
{
    PipelineDocument d = mainOf(std::move(pipes));
    d.nodes = {{.name = "B", .demand = 4, .requiredPressure = 0.95}, {.name = "C", .demand = 6, .requiredPressure = 0.9,
               .requiredTemperature = 240}, {.name = "D", .demand = 2}};
    return d;
}

TEST(Network, APathGivesTheSeriesNumbersAndFlowsAreSummedFromTheDemands)
{
    const PipelineDocument park = parkOf({pipe("S", "A", 250), pipe("A", "B", 300), pipe("A", "C", 400), pipe("B", "D", 200)});
    const PipelineResult r = calculatePipeline(park);
    ASSERT_TRUE(r.network && r.allComputed) << r.topologyMessage << r.segments[0].message;
    std::vector<double> flows;
    for (const SegmentRun& run : r.segments) flows.push_back(*run.flow);
    EXPECT_EQ(flows, (std::vector<double>{12, 6, 6, 2}));  // S-A: 4 + 2 + 6; A-B: 4 + 2
    EXPECT_TRUE(r.segments[0].flowSummed);
    // The schematic's places: the source on the left, every end a row of its own, a node level with
    // the middle of its first and last; S-A-(B-D, C): D row 0, C row 1, B level with D, A between B and C.
    const auto at = [](const std::optional<TreePlace>& p) { return p ? std::to_string(static_cast<int>(p->column)) + "/" + formatShortest(p->row) : "-"; };
    std::vector<std::string> places;
    for (const std::optional<TreePlace>& place : layOutTree(r).places) places.push_back(at(place));
    EXPECT_EQ(places, (std::vector<std::string>{"0/0.5", "1/0.5", "2/0", "2/1", "3/0"}));
    // Folded at one column: A and B, which feed others, end their bands as stubs and begin bands of their
    // own below, the next a row and a half lower; the ends C and D stay in the bands of their nodes.
    const TreeLayout folded = layOutTree(r, 1);
    places.clear();
    for (std::size_t n = 0; n < r.nodes.size(); ++n) places.insert(places.end(), {at(folded.places[n]), at(folded.stubs[n])});
    EXPECT_EQ(places, (std::vector<std::string>{"0/0", "-", "0/2", "1/0", "0/4", "1/1.5", "1/2.5", "-", "1/4", "-"}));
    // With C feeding E as well, A's band ends in two stubs, B above C: their bands follow in that order.
    PipelineDocument twice = park;
    twice.segments.push_back(pipe("C", "E", 100));
    const PipelineResult both = calculatePipeline(twice);
    const TreeLayout bands = layOutTree(both, 1);
    const auto rowOf = [&](const char* name) {
        return bands.places[static_cast<std::size_t>(std::ranges::find(both.nodes, std::string(name), &NodeRun::name) - both.nodes.begin())]->row;
    };
    EXPECT_LT(rowOf("B"), rowOf("C"));
    // The path S-A-C is the series main of the same pipes with the same flows, to the last bit.
    const PipelineResult series = calculatePipeline(mainOf({pipe("", "", 250, 12), pipe("", "", 400, 6)}));
    for (const auto& [network, main] : {std::pair(&r.segments[0], &series.segments[0]), std::pair(&r.segments[2], &series.segments[1])})
        EXPECT_EQ(std::tuple(network->pend, network->tend, network->heatLossKw, network->Rmean, network->velocity),
                  std::tuple(main->pend, main->tend, main->heatLossKw, main->Rmean, main->velocity));
    // Nodes: kinds, states, margins and flags; C is short of temperature.
    std::vector<std::string> kinds;
    for (const NodeRun& node : r.nodes) kinds.push_back(node.name + ":" + std::to_string(static_cast<int>(node.kind)));
    EXPECT_EQ(kinds, (std::vector<std::string>{"S:0", "A:1", "B:1", "C:2", "D:2"}));
    const NodeRun& c = r.nodes[3];
    EXPECT_EQ(std::pair(c.p, c.t), std::pair(r.segments[2].pend, r.segments[2].tend));
    EXPECT_DOUBLE_EQ(*c.pressureMargin, c.p - 0.9);
    EXPECT_TRUE(c.temperatureShort && !c.pressureShort && *c.temperatureMargin < 0 && r.nodes[1].feed == 0u) << c.t;
    // The critical consumer has the least pressure margin: B (0.95 MPa wanted) before C (0.9 MPa).
    ASSERT_EQ(r.critical, 2u);
    EXPECT_EQ(std::tuple(pathTo(r, r.critical), r.joints, r.profile.front().p),  // the profile starts at the source
              std::tuple(std::vector<std::size_t>{0, 1}, std::vector<double>{250, 550}, 1.0));
    EXPECT_EQ(std::tuple(r.totals.demand, *r.totals.sourceFlow, r.totals.length), std::tuple(12.0, 12.0, 1150.0));
    EXPECT_DOUBLE_EQ(r.totals.heatLossKw, r.segments[0].heatLossKw + r.segments[1].heatLossKw + r.segments[2].heatLossKw + r.segments[3].heatLossKw);
    // The text output: every node's need as typed, then what it gets.
    EXPECT_NE(resultLines(park, r).find("\n节点 B 分支点\n  用汽量(t/h) 4\n  要求压力(MPa) 0.95\n"), std::string::npos);
    // A node takes no name another node has, the source's among them.
    PipelineDocument renamed = park;
    EXPECT_TRUE(!setNodeCellText(renamed, "B", NodeColumn::name, "S") && renamed == park);
}

TEST(Network, SummedFlowsReadAsWrittenInEveryOutputAndATypedFlowBelowWhatLeavesIsFlagged)
{
    // 1.1 + 2.2 + 4.4 is 7.700000000000001 in binary; the pipe feeding them, the totals and the text read 7.7.
    PipelineDocument d = mainOf({pipe("S", "A", 250), pipe("A", "U1", 100), pipe("A", "U2", 100), pipe("A", "U3", 100)});
    d.nodes = {{.name = "U1", .demand = 1.1}, {.name = "U2", .demand = 2.2}, {.name = "U3", .demand = 4.4}};
    ASSERT_NE(formatShortest(1.1 + 2.2 + 4.4), "7.7");
    PipelineResult r = calculatePipeline(d);
    EXPECT_EQ(cellText(d.segments[0], &r.segments[0], Column::flow) + " " + totalsText(r, Column::flow) + " " + formatShortest(r.totals.demand), "7.7 7.7 7.7");
    EXPECT_NE(csvTable(d, r).find("\r\nS-A,S,A,DN200,,219,6,250,7.7,"), std::string::npos) << csvTable(d, r);
    EXPECT_NE(resultLines(d, r).find("流量(t/h) 7.7（求和）"), std::string::npos);
    // 800 consumers of 0.3 t/h: 240 t/h leave the source and are used, the same number twice.
    d.segments.resize(1);
    d.nodes.clear();
    for (int i = 0; i < 800; ++i) {
        d.segments.push_back(pipe("A", ("U" + std::to_string(i)).c_str(), 100));
        d.nodes.push_back({.name = "U" + std::to_string(i), .demand = 0.3});
    }
    r = calculatePipeline(d);
    EXPECT_EQ(formatShortest(r.totals.demand) + " " + totalsText(r, Column::flow), "240 240");
    // Three pipes leave the source itself: their sum is the source's flow, as written.
    d = mainOf({pipe("S", "U1", 100), pipe("S", "U2", 100), pipe("S", "U3", 100)});
    d.nodes = {{.name = "U1", .demand = 1.1}, {.name = "U2", .demand = 2.2}, {.name = "U3", .demand = 4.4}};
    EXPECT_EQ(totalsText(calculatePipeline(d), Column::flow), "7.7");

    // 5 t/h typed where 12 t/h leave A: computed with 5 t/h, flagged at its flow and said in its remark, in the
    // text output too; a failed pipe says both. 12 t/h typed is no flag.
    const std::string note = "流量 5 t/h 小于节点“A”流出的 12 t/h";
    PipelineDocument park = parkOf({pipe("S", "A", 250, 5), pipe("A", "B", 300), pipe("A", "C", 400), pipe("B", "D", 200)});
    r = calculatePipeline(park);
    const std::string remark = cellText(park.segments[0], &r.segments[0], Column::remark);
    EXPECT_EQ(std::tuple(r.segments[0].status, *r.segments[0].flow, r.segments[0].flagged(), remark.substr(0, note.size() + 3)),
              std::tuple(SegmentStatus::computed, 5.0, true, note + "；")) << remark;  // before the velocity's note
    EXPECT_NE(resultLines(park, r).find(note), std::string::npos);
    park.segments[0].notNumbers["zeta"] = "x";
    r = calculatePipeline(park);
    EXPECT_EQ(cellText(park.segments[0], &r.segments[0], Column::remark), "局部阻力系数“x”不是数值；" + note);
    EXPECT_NE(resultLines(park, r).find("局部阻力系数“x”不是数值；" + note), std::string::npos);  // failed, and said
    park.segments[0].notNumbers.clear();
    park.nodes.push_back({.name = "A", .demand = 1});  // what A takes itself leaves it too
    EXPECT_EQ(calculatePipeline(park).segments[0].flowNote, "流量 5 t/h 小于节点“A”流出的 13 t/h");
    park.nodes.pop_back();
    park.segments[0].flow = 12;
    EXPECT_EQ(calculatePipeline(park).segments[0].flowNote, "");

    // A new row that starts where another ends and has nothing else is no fault of the layout yet.
    park.segments.push_back({.from = "C"});
    EXPECT_EQ(calculatePipeline(park).topologyMessage, "");
    park.segments.back().label = "C-E";
    EXPECT_EQ(calculatePipeline(park).topologyMessage, "管段 5：请输入终点");
    park.segments.back() = {.to = "E"};  // its end typed, not its start: no blank row
    EXPECT_EQ(calculatePipeline(park).topologyMessage, "管段 5：请输入起点");
}

TEST(Network, ANodeRenamedAsANodeNoPipeNamesAnyMoreTakesItsOwnNeedsAlong)
{
    // D's needs stay in the document after its pipe is gone; B renamed D keeps B's, once, and the file reads back.
    PipelineDocument park = parkOf({pipe("S", "A", 250), pipe("A", "B", 300), pipe("A", "C", 400)});
    ASSERT_TRUE(setNodeCellText(park, "B", NodeColumn::name, "D"));
    ASSERT_EQ(park.nodes.size(), 2u);  // the renamed B's and C's
    EXPECT_EQ(std::pair(park.nodes[0].name, park.nodes[0].demand), std::pair(std::string("D"), std::optional(4.0)));
    EXPECT_TRUE(readPipelineFile(writePipelineFile(park)).document);
}

TEST(Network, AFailureStopsItsOwnSubtreeAndTopologyFaultsAreMarkedAtTheirCells)
{
    PipelineDocument park = parkOf({pipe("S", "A", 250), pipe("A", "B", 50000), pipe("A", "C", 400), pipe("B", "D", 200)});
    PipelineResult r = calculatePipeline(park);
    EXPECT_EQ(std::tuple(r.segments[1].status, r.segments[2].status, r.segments[3].status, r.segments[3].message),
              std::tuple(SegmentStatus::failed, SegmentStatus::computed, SegmentStatus::notComputed, "未计算：上游管段未算出"));
    EXPECT_EQ(r.critical, 2u);  // B gets no steam, nor does D behind it: B is the first
    EXPECT_EQ(std::pair(r.nodes[2].message, r.nodes[4].message), std::pair(std::string("管段 2 未能算出"), std::string("未计算")));
    // A flow typed on a pipe that feeds a branch holds; while a pipe leaving the source has no flow, the
    // source's flow is unknown, and the heat loss of a network not wholly computed is no total.
    r = calculatePipeline(parkOf({pipe("S", "A", 250, 15), pipe("A", "B", 300), pipe("A", "C", 400), pipe("S", "E", 100)}));
    EXPECT_EQ(std::tuple(*r.segments[0].flow, r.segments[0].flowSummed, r.segments[3].status), std::tuple(15.0, false, SegmentStatus::failed));
    EXPECT_EQ(totalsText(r, Column::flow) + totalsText(r, Column::heatLossKw), "");

    // A pipe to itself and one without its end are refused at their cells and said first; a loop
    // back to A is no fault: that network is solved for its flows.
    park = parkOf({pipe("S", "A", 250), pipe("A", "C", 400), pipe("C", "A", 100), pipe("C", "C", 100), pipe("A", "", 100)});
    r = calculatePipeline(park);
    EXPECT_EQ(std::pair(r.segments[3].field, r.segments[3].message), std::pair(SegmentField::to, std::string("管段的起点与终点相同")));
    EXPECT_EQ(std::pair(r.segments[4].field, r.segments[4].message), std::pair(SegmentField::to, std::string("请输入终点")));
    EXPECT_EQ(r.topologyMessage, "管段 4：管段的起点与终点相同");
    EXPECT_TRUE(r.solve.has_value());
    // In a tree, pipes away from the source are refused; the rest is computed.
    r = calculatePipeline(parkOf({pipe("S", "A", 250), pipe("A", "C", 400), pipe("X", "Y", 100)}));
    EXPECT_EQ(std::pair(r.segments[2].field, r.segments[2].message), std::pair(SegmentField::from, std::string("管段未与汽源“S”相连")));
    EXPECT_EQ(std::pair(r.segments[0].status, r.segments[1].status), std::pair(SegmentStatus::computed, SegmentStatus::computed));

    // A chain of 1000 pipes is walked without recursion, and its end is the critical consumer.
    std::vector<PipelineSegment> chain;
    for (int i = 0; i < 1000; ++i) {
        chain.push_back(pipe(std::to_string(i).c_str(), std::to_string(i + 1).c_str(), 1, 10));
        std::tie(chain.back().heatLossSource, chain.back().heatLoss) = std::tuple(HeatLossSource::typed, 0.05);
    }
    PipelineDocument deep = mainOf(chain);
    std::tie(deep.startPressure, deep.startTemperature) = std::tuple(10, 550);
    r = calculatePipeline(deep);
    EXPECT_EQ(std::tuple(r.allComputed, r.critical, pathTo(r, r.critical).size()), std::tuple(true, std::optional<std::size_t>(1000), 1000u));
    const std::vector<std::optional<TreePlace>> places = layOutTree(r).places;  // as deep, and no recursion either
    EXPECT_EQ(std::tuple(places.back()->column, places.back()->row, places.front()->row), std::tuple(1000.0, 0.0, 0.0));
}

}  // namespace
}  // namespace dorvent
