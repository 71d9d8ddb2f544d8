#include <gtest/gtest.h>

#include "numtext/formatnumber.h"
#include "pipeline/casecomparison.h"
#include "pipeline/casetext.h"
#include "pipeline/loadcases.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/pipesizing.h"
#include "pipeline/sizingtext.h"
#include "pipeline/thicknessdesign.h"
#include "pipes/guanjing.h"
#include "pipes/proposal.h"

namespace dorvent {
namespace {

PipelineSegment pipe(std::string label, std::string from, std::string to, int dn, double length, std::optional<double> flow = {})
{
    return {.label = std::move(label), .from = std::move(from), .to = std::move(to), .dn = dn, .length = length, .flow = flow,
            .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20, .dropPerKm = 5, .heatLossSource = HeatLossSource::overhead};
}

/// A source feeding a branch point, two consumers below it and a third whose pipe has its flow typed.
PipelineDocument network()
{
    return {.startPressure = 1.3, .startTemperature = 300,
            .segments = {pipe("干线", "厂", "N1", 250, 800), pipe("甲支线", "N1", "甲", 200, 600),
                         pipe("乙支线", "N1", "乙", 80, 400), pipe("丙支线", "厂", "丙", 125, 500, 8.5)},
            .nodes = {{.name = "甲", .demand = 20, .requiredPressure = 0.95},
                      {.name = "乙", .demand = 3, .requiredTemperature = 200},
                      {.name = "丙"}}};
}

/// Every text the calculation gives: the lines, the pipe table and the node table.
std::string allTexts(const PipelineDocument& d, const PipelineResult& r)
{
    return resultLines(d, r) + csvTable(d, r) + csvNodes(d, r);
}

TEST(LoadCases, EachCaseIsTheNetworkComputedAloneWithItsSourceAndDemands)
{
    PipelineDocument d = network();
    d.cases = {{.name = "夏季", .factor = 0.3, .demands = {{"乙", 0.5}}},
               {.name = "低压启动", .startPressure = 1.1, .startTemperature = 280},
               {.name = "同设计", .factor = 1}};
    const std::vector<PipelineResult> results = calculateCases(d);
    ASSERT_EQ(results.size(), 4U);

    // Worked out by hand: 20 × 0.3 = 6, 乙 as typed, 8.5 × 0.3 = 2.55 on the typed pipe.
    PipelineDocument summer = network();
    summer.nodes[0].demand = 6;
    summer.nodes[1].demand = 0.5;
    summer.segments[3].flow = 2.55;
    summer.designCase = "夏季";
    PipelineDocument start = network();
    start.startPressure = 1.1;
    start.startTemperature = 280;
    start.designCase = "低压启动";
    const PipelineDocument alone[] = {network(), summer, start, network()};
    for (std::size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(caseName(d, k));
        EXPECT_EQ(allTexts(alone[k], results[k]), allTexts(alone[k], calculatePipeline(alone[k])));
        EXPECT_EQ(allTexts(documentForCase(d, k).document, results[k]), allTexts(alone[k], results[k]));
    }
    EXPECT_EQ(allTexts(network(), results[3]), allTexts(network(), results[0]));  // factor 1, same source
    EXPECT_EQ(allTexts(network(), calculatePipeline(d)), allTexts(network(), results[0]));
    // The summer flow of the main is 6 + 0.5 as written by hand, though 20 × 0.3 is not 6 in binary.
    EXPECT_EQ(*results[1].segments[0].flow, 6.5);
    EXPECT_EQ(*calculateCases({.startPressure = 1, .startTemperature = 300, .segments = {pipe("a", "S", "A", 100, 100)},
                               .nodes = {{.name = "A", .demand = 0.7}}, .cases = {{.name = "c", .factor = 0.3}}})[1]
                   .segments[0].flow, 0.21);
}

TEST(LoadCases, ACaseThatCannotBeComputedSaysWhyAndTheOthersCompute)
{
    PipelineDocument d = network();
    d.cases = {{.name = "零", .factor = 0}, {.name = "文字", .notNumbers = {{"factor", "三成"}}},
               {.name = "需求", .demandTexts = {{"甲", "x"}}}, {.name = "好"}};
    const std::vector<PipelineResult> r = calculateCases(d);
    EXPECT_EQ(r[1].startMessage, "工况“零”的负荷系数应大于 0");
    EXPECT_EQ(r[2].startMessage, "工况“文字”的负荷系数“三成”不是数值");
    EXPECT_EQ(r[3].startMessage, "工况“需求”中节点“甲”的用汽量“x”不是数值");
    for (const std::size_t k : {1, 2, 3}) EXPECT_FALSE(r[k].allComputed);
    EXPECT_TRUE(r[4].startMessage.empty());
    EXPECT_EQ(allTexts(network(), r[4]), allTexts(network(), r[0]));
    EXPECT_FALSE(allCasesMet(r));
    d.cases.erase(d.cases.begin(), d.cases.begin() + 3);
    EXPECT_TRUE(allCasesMet(calculateCases(d)));
}

TEST(LoadCases, FilesKeepCasesAndOlderDocumentsStayInTheirVersion)
{
    PipelineDocument d = network();
    EXPECT_NE(writePipelineFile(d).find("\"version\": 2"), std::string::npos);
    d.designCase = "冬季";
    EXPECT_NE(writePipelineFile(d).find("\"version\": 5"), std::string::npos);
    d.cases = {{.name = "夏季", .startPressure = 1.2, .factor = 0.3, .demands = {{"甲", 4.25}}, .demandTexts = {{"乙", "少"}}},
               {.name = "检修", .notNumbers = {{"startTemperature", "高"}}}};
    const std::string text = writePipelineFile(d);
    const PipelineFileRead read = readPipelineFile(text);
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(*read.document, d);
    EXPECT_EQ(writePipelineFile(*read.document), text);

    const auto refusal = [&text](const std::string& from, const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return readPipelineFile(changed).error;
    };
    EXPECT_EQ(refusal("\"name\": \"检修\"", "\"name\": \"冬季\""), "字段 cases[1].name 重复：工况“冬季”");
    EXPECT_EQ(refusal("\"name\": \"检修\"", "\"name\": \"\""), "字段 cases[1].name 不应为空");
    EXPECT_EQ(refusal("\"designCase\": \"冬季\"", "\"designCase\": \"\""), "字段 designCase 不应为空");
    EXPECT_EQ(refusal("\"factor\": 0.3", "\"factor\": true"), "字段 cases[0].factor 应为数值、文本或 null");
    EXPECT_EQ(refusal("\"甲\": 4.25", "\"甲\": [1]"), "字段 cases[0].demands.甲 应为数值、文本或 null");
    EXPECT_EQ(refusal("\"version\": 5", "\"version\": 7"), "字段 version：本程序只能读取版本 1、2、3、4、5 和 6 的管线文件");
}

TEST(LoadCases, RenamingANodeTakesItsDemandsInEveryCase)
{
    PipelineDocument d = network();
    d.cases = {{.name = "夏季", .demands = {{"甲", 3}, {"旧", 9}}, .demandTexts = {{"乙", "x"}}}};
    ASSERT_TRUE(setNodeCellText(d, "甲", NodeColumn::name, "旧"));
    ASSERT_TRUE(setNodeCellText(d, "乙", NodeColumn::name, "新"));
    EXPECT_EQ(d.cases[0].demands, (std::map<std::string, double>{{"旧", 3}}));
    EXPECT_EQ(d.cases[0].demandTexts, (std::map<std::string, std::string>{{"新", "x"}}));
}

TEST(LoadCases, TheComparisonMarksTheWorstCaseOfEachQuantity)
{
    PipelineDocument d = network();
    d.cases = {{.name = "夏季", .factor = 0.3}};
    const std::vector<PipelineResult> r = calculateCases(d);
    const ComparisonTable consumers = consumerComparison(d, r);
    ASSERT_EQ(consumers.rows.size(), 6U);  // 甲, 乙, 丙 in two cases each
    EXPECT_EQ(consumers.header[3], "压力(MPa)");
    const std::vector<std::string>& summerA = consumers.rows[1];
    EXPECT_EQ(summerA[0], "甲");
    EXPECT_EQ(summerA[1], "夏季");
    EXPECT_EQ(summerA[2], "6");
    EXPECT_EQ(summerA[3], formatFixed(r[1].nodes[2].p, 3));  // the nodes: 厂, N1, 甲, 乙, 丙
    EXPECT_EQ(summerA[6], formatFixed(*r[1].nodes[2].pressureMargin, 3));
    // Full load: the least pressure; low load: the least temperature, as the heat loss stays.
    EXPECT_GT(r[1].nodes[2].p, r[0].nodes[2].p);
    EXPECT_LT(r[1].nodes[2].t, r[0].nodes[2].t);
    EXPECT_TRUE(consumers.worst[0][3]);
    EXPECT_FALSE(consumers.worst[1][3]);
    EXPECT_TRUE(consumers.worst[1][4]);
    EXPECT_FALSE(consumers.worst[0][4]);
    EXPECT_EQ(consumers.groupStart, (std::vector<bool>{true, false, true, false, true, false}));

    // One case alone has no worst.
    for (const auto& row : consumerComparison(network(), calculateCases(network())).worst) {
        EXPECT_EQ(std::count(row.begin(), row.end(), true), 0);
    }
    const ComparisonTable pipes = pipeComparison(d, r);
    ASSERT_EQ(pipes.rows.size(), 8U);
    EXPECT_EQ(pipes.rows[6][2], "8.5");
    EXPECT_EQ(pipes.rows[7][2], "2.55");
    EXPECT_TRUE(pipes.worst[0][3]);  // the highest velocity at full load
    ASSERT_EQ(pipes.rows[5].size(), 8U);
    EXPECT_EQ(pipes.rows[5][7], "压降过大，使末端蒸汽不属于过热蒸汽，不能用本程序计算");  // 乙支线 in summer
    EXPECT_EQ(pipes.rows[1][7], "");  // a velocity below its band is a note, not a warning

    // At low load the thin branch to 乙 loses so much heat that its steam would condense.
    const std::vector<std::string> lines = criticalLines(d, r);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "设计工况：甲，压力 " + formatFixed(r[0].nodes[2].p, 3) + " MPa，压力裕量 " +
                            formatFixed(*r[0].nodes[2].pressureMargin, 3) + " MPa");
    EXPECT_EQ(lines[1], "夏季：乙，管段 3 未能算出");
    EXPECT_EQ(lines[2], "全部工况：乙，管段 3 未能算出（夏季）");
    EXPECT_EQ(consumers.rows[3][8], "管段 3 未能算出");
    EXPECT_EQ(consumers.rows[3][3], "");
}

TEST(LoadCases, TheCsvHasTheCaseAsItsFirstColumnAndOneCaseStaysAsItWas)
{
    PipelineDocument d = network();
    EXPECT_EQ(casesCsv(d, calculateCases(d), true), csvNodes(d, calculatePipeline(d)));
    EXPECT_EQ(casesLines(d, calculateCases(d)), resultLines(d, calculatePipeline(d)));
    d.cases = {{.name = "=夏季", .factor = 0.5}};
    const std::string csv = casesCsv(d, calculateCases(d), true);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), "工况," + csvNodes(d, calculatePipeline(d)).substr(0, csv.find("\r\n") - 7));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 2 * 5);
    EXPECT_NE(csv.find("\r\n设计工况,厂,热源,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n'=夏季,甲,用户,10,"), std::string::npos);
    const std::string lines = casesLines(d, calculateCases(d));
    EXPECT_NE(lines.find("【工况】设计工况\n项目"), std::string::npos);
    EXPECT_NE(lines.find("\n【工况】=夏季\n"), std::string::npos);
    EXPECT_NE(lines.find("【工况对比】最不利用户\n  设计工况：甲"), std::string::npos);
}

}  // namespace
}  // namespace dorvent

namespace dorvent {
namespace {

/// Served in every case, by the ordinary calculation: every pipe computed, every requirement met,
/// no pipe above its velocity band, none larger than the pipe feeding it.
bool servedInEveryCase(const PipelineDocument& d)
{
    for (std::size_t k = 0; k < caseCount(d); ++k) {
        const PipelineDocument one = documentForCase(d, k).document;
        const PipelineResult r = calculatePipeline(one);
        if (!r.allComputed || !requirementsMet(r)) return false;
        for (std::size_t i = 0; i < one.segments.size(); ++i) {
            if (r.segments[i].velocity > velocityBand(static_cast<float>(one.segments[i].dn)).highest) return false;
            for (const PipelineSegment& feed : one.segments) {
                if (feed.to == one.segments[i].from && one.segments[i].dn > feed.dn) return false;
            }
        }
    }
    return true;
}

double steel(const PipelineDocument& d)
{
    double kg = 0;
    for (const PipelineSegment& s : d.segments) {
        const PipeSize* row = findCatalogueRow(s.dn);
        kg += *s.length * 3.141592653589793 * row->bihou * (row->waijing - row->bihou) * 7850e-6;
    }
    return kg;
}

TEST(LoadCases, SizingServesEveryCaseAtTheLeastSteelAndSaysWhichCaseBoundEachPipe)
{
    // With one boiler down the plant sends 90 % of the steam at 1.05 MPa: the design case's own
    // sizes leave 甲 short of its pressure then.
    PipelineDocument d = network();
    d.segments.pop_back();
    d.nodes.pop_back();
    d.cases = {{.name = "检修", .startPressure = 1.05, .factor = 0.9}};
    PipelineDocument designOnly = d;
    designOnly.cases.clear();
    PipelineDocument designSizes = sizeNetwork(designOnly).document;
    designSizes.cases = d.cases;
    EXPECT_FALSE(servedInEveryCase(designSizes));

    const SizingResult sized = sizeNetwork(d);
    ASSERT_EQ(sized.outcome, SizingOutcome::sized);
    EXPECT_EQ(sized.document.cases, d.cases);
    EXPECT_TRUE(servedInEveryCase(sized.document));
    // Every combination of the sizes DN65 to DN400, by the ordinary calculation.
    std::vector<int> dns;
    for (auto it = guanjing.rbegin(); it != guanjing.rend(); ++it) {
        if (it->dn >= 65 && it->dn <= 400) dns.push_back(static_cast<int>(it->dn));
    }
    double least = 1e300;
    PipelineDocument trial = d;
    for (const int a : dns) {
        for (const int b : dns) {
            for (const int c : dns) {
                trial.segments[0].dn = a;
                trial.segments[1].dn = b;
                trial.segments[2].dn = c;
                if (servedInEveryCase(trial)) least = std::min(least, steel(trial));
            }
        }
    }
    EXPECT_NEAR(steel(sized.document), least, 1e-6 * least);
    EXPECT_NEAR(sized.massAfter, least, 1e-6 * least);
    EXPECT_EQ(sized.pipes[0].boundBy, "检修");
    EXPECT_EQ(sized.pipes[1].boundBy, "检修");
    EXPECT_EQ(sized.pipes[2].boundBy, "设计工况");  // one size smaller is too fast at full load
    const std::string lines = sizingLines(d, sized);
    EXPECT_NE(lines.find("自动选管：每个工况中每个节点都能得到所需的蒸汽参数"), std::string::npos);
    EXPECT_NE(lines.find("（N1 → 甲）：DN200 → DN250（决定工况：检修）"), std::string::npos);
    // At 30 % the thin branch's steam condenses whatever the sizes: the reasons are the summer's
    // only, though the largest sizes would cool the design case's branch too.
    PipelineDocument summer = d;
    summer.cases = {{.name = "夏季", .factor = 0.3}};
    const SizingResult refused = sizeNetwork(summer);
    ASSERT_EQ(refused.outcome, SizingOutcome::unservable);
    ASSERT_FALSE(refused.problems.empty());
    for (const std::string& problem : refused.problems) EXPECT_TRUE(problem.starts_with("【夏季】")) << problem;
    // A case that cannot be computed stops the sizing, under its name.
    d.cases[0].factor = 0;
    EXPECT_EQ(sizeNetwork(d).problems, std::vector<std::string>{"【检修】起点状态：工况“检修”的负荷系数应大于 0"});
}

}  // namespace
}  // namespace dorvent

namespace dorvent {
namespace {

TEST(LoadCases, TheThicknessDesignKeepsTheLimitsInEveryCase)
{
    // A DN300 main insulated by one layer of rock wool; a case runs it 60 ℃ hotter.
    PipelineDocument d{.startPressure = 1.6, .startTemperature = 400};
    d.segments.push_back({.label = "主线", .dn = 300, .length = 500, .flow = 20, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20,
                          .dropPerKm = 5, .heatLossSource = HeatLossSource::insulated, .construction = "岩棉"});
    d.constructions.push_back({.name = "岩棉", .inner = {"岩棉", 60}, .jacket = "铝合金薄板", .wind = 3});
    PipelineDocument hot = d;
    hot.startTemperature = 460;
    hot.designCase = "超温";
    const ThicknessDesign alone = designThickness(d, calculatePipeline(d), 0), hotAlone = designThickness(hot, calculatePipeline(hot), 0);
    ASSERT_TRUE(alone.least && hotAlone.least);
    ASSERT_GT(*hotAlone.least, *alone.least);

    d.cases = {{.name = "超温", .startTemperature = 460}};
    const ThicknessDesign both = designThicknessInEveryCase(d, calculateCases(d), 0);
    EXPECT_EQ(both.least, hotAlone.least);
    EXPECT_EQ(both.leastCase, "超温");
    EXPECT_EQ(both.medium, alone.medium);  // shown at the design case's start
    ASSERT_EQ(both.trials.size(), alone.trials.size());
    for (std::size_t t = 0; t < both.trials.size(); ++t) {
        EXPECT_EQ(both.trials[t].withinLimits, alone.trials[t].withinLimits && hotAlone.trials[t].withinLimits) << t;
    }
    EXPECT_GE(*both.chosen, *hotAlone.least);

    d.cases[0].startTemperature = 380;  // a cooler case binds nothing: the design case's limits hold
    const ThicknessDesign cooler = designThicknessInEveryCase(d, calculateCases(d), 0);
    EXPECT_EQ(cooler.least, alone.least);
    EXPECT_EQ(cooler.leastCase, "设计工况");
    for (std::size_t t = 0; t < cooler.trials.size(); ++t) EXPECT_EQ(cooler.trials[t].withinLimits, alone.trials[t].withinLimits) << t;
    d.cases[0].factor = -1;
    EXPECT_EQ(designThicknessInEveryCase(d, calculateCases(d), 0).problem, "工况“超温”：管段的起点状态未能算出");
}

}  // namespace
}  // namespace dorvent
