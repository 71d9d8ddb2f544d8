// Pipes insulated by a construction of their document: what they lose along the way, what their
// row says at their start, and how the document keeps its constructions in a file.

#include <gtest/gtest.h>

#include "insulation/heatloss.h"
#include "insulation/materials.h"
#include "numtext/formatnumber.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/pipesizing.h"
#include "pipes/guanjing.h"
#include "steam/regions.h"

namespace dorvent {
namespace {

/// A DN300 main of one pipe from 1.6 MPa and 450 ℃, insulated by "主线保温": 80 mm of aluminium
/// silicate felt under 60 mm of rock wool, clad in aluminium alloy sheet, in a wind of 3 m/s at 20 ℃.
PipelineDocument insulatedMain(double length, double flow)
{
    return {.startPressure = 1.6, .startTemperature = 450,
            .segments = {{.label = "主线", .dn = 300, .length = length, .flow = flow, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20,
                          .dropPerKm = 5, .heatLossSource = HeatLossSource::insulated, .construction = "主线保温"}},
            .constructions = {{.name = "主线保温", .inner = {"硅酸铝棉毡", 80}, .outer = {"岩棉", 60}, .jacket = "铝合金薄板", .wind = 3}}};
}

std::string text(const PipelineDocument& d, const PipelineResult& r, Column c) { return cellText(d.segments[0], &r.segments[0], c); }

/// The layers of "主线保温" around a pipe of this outer diameter, the outer one of its own material.
insulation::Construction mainLayers(double D0, const insulation::Material& outer = *insulation::findMaterial("岩棉"))
{
    return {D0, {*insulation::findMaterial("硅酸铝棉毡"), 80}, insulation::Layer{outer, 60}};
}

TEST(InsulatedPipe, LosesWhatItsConstructionLosesAtEachSectionsTemperature)
{
    // At its start, 450 ℃: as tests/data/insulation_reference.py works it out (Ts 32.737048, q 326.049557 W/m,
    // Q 171.545120 W/m²), and the allowed year-round loss between 204 W/m² at 400 ℃ and 236 at 500 ℃: 220.
    PipelineDocument d = insulatedMain(2000, 8);
    PipelineResult r = calculatePipeline(d);
    ASSERT_EQ(r.segments[0].status, SegmentStatus::computed) << r.segments[0].message;
    std::string shown;
    for (const Column c : {Column::surfaceTemperature, Column::lossPerMetre, Column::lossPerSquareMetre, Column::allowedLoss, Column::heatLossSource})
        shown += text(d, r, c) + " ";
    EXPECT_EQ(shown, "32.737 326.050 171.545 220.000 保温：主线保温 ");
    EXPECT_FALSE(r.segments[0].flagged());
    EXPECT_EQ(text(d, r, Column::heatLoss), "2.730");  // as a unit loss at the start: 326.05 W/m × 3.6 / (450 − 20)
    // Every 100 m section loses (1 + β) q at its mean temperature: 8 t/h cools by tens of degrees over 2 km, so
    // the loss falls along the pipe, below what the start's loss over the whole length would be.
    double expected = 0, start = r.segments[0].t0;
    for (const SectionEnd& end : r.segments[0].sections) {
        expected += 1.2 * insulation::solveHeatLoss(mainLayers(325), {(start + end.T - 273.15) / 2, 20, 3, 0.225})->perMetre * 100 / 1000;
        start = end.T - 273.15;
    }
    EXPECT_NEAR(r.segments[0].heatLossKw, expected, expected * 1e-4);
    EXPECT_TRUE(r.segments[0].temperatureDrop > 20 && r.segments[0].heatLossKw < 1.2 * 326.049557 * 2000 / 1000 * 0.99) << r.segments[0].temperatureDrop;

    // Seasonal operation has no allowed loss at 450 ℃: flagged, not guessed.
    d.insulation.seasonal = true;
    r = calculatePipeline(d);
    EXPECT_EQ(std::tuple(text(d, r, Column::allowedLoss), r.segments[0].flagged(), insulationLimitsMet(r)),
              std::tuple(std::string("—"), true, false));
    EXPECT_NE(text(d, r, Column::remark).find("蒸汽温度 450.000 ℃ 超出最大允许热损失表的范围"), std::string::npos);
}

TEST(InsulatedPipe, UnderTheEnergyBalanceItLosesWhatItsConstructionLosesAndTheFlowsEnthalpyPaysForIt)
{
    PipelineDocument d = insulatedMain(2000, 8);
    const PipelineResult heatLoss = calculatePipeline(d);
    d.temperatureLaw = TemperatureLaw::enthalpyBalance;
    const PipelineResult r = calculatePipeline(d);
    ASSERT_EQ(r.segments[0].status, SegmentStatus::computed) << r.segments[0].message;
    // Hardly any pressure falls here: the laws differ by how each takes cp, well under a degree.
    EXPECT_NEAR(r.segments[0].tend, heatLoss.segments[0].tend, 1);
    EXPECT_NEAR(r.segments[0].heatLossKw, heatLoss.segments[0].heatLossKw, 0.01 * heatLoss.segments[0].heatLossKw);
    double v = 0, h0 = 0, cp = 0;
    quyu2(450 + 273.15, 1.6, v, h0, cp);
    const double lost = 8 * 1000 * (h0 - r.segments[0].balance->hend) / 3600;
    EXPECT_NEAR(r.segments[0].heatLossKw, lost, 1e-6 * lost);
    // The same start by the other law; the surface at the start, as by either law.
    EXPECT_EQ(text(d, r, Column::heatLossLawTend) + " " + text(d, r, Column::surfaceTemperature), text(d, heatLoss, Column::tend) + " 32.737");
}

TEST(InsulatedPipe, ItsLossChangesSmoothlyWhereRockWoolsEquationSteps)
{
    // One layer of rock wool, whose equation steps up by 0.9 % at a mean temperature of 100 ℃: steam from
    // 160 to 180 ℃ passes the step. Every 0.01 ℃ the loss changes by far less than the step, so that the
    // sections of a pipe, each at its own temperature, settle on their loss.
    const insulation::Construction wool{108, {*insulation::findMaterial("岩棉"), 50}, std::nullopt};
    double before = insulation::solveHeatLoss(wool, {160, 20, 0, 0.25})->perMetre, largest = 0;
    for (double t = 160.01; t <= 180; t += 0.01) {
        const double q = insulation::solveHeatLoss(wool, {t, 20, 0, 0.25})->perMetre;
        largest = std::max(largest, (q - before) / before);
        before = q;
    }
    EXPECT_LT(largest, 1e-3);
    // A main of 30 m pipes whose steam cools through the step (near 170 ℃ here) computes every pipe.
    PipelineDocument d{.startPressure = 0.5, .startTemperature = 185};
    d.constructions.push_back({.name = "岩棉", .inner = {"岩棉", 50}, .emissivity = 0.25, .wind = 0});
    for (int i = 0; i < 12; ++i)
        d.segments.push_back({.dn = 100, .length = 30, .flow = 3, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 20,
                              .dropPerKm = 1, .heatLossSource = HeatLossSource::insulated, .construction = "岩棉"});
    const PipelineResult r = calculatePipeline(d);
    EXPECT_TRUE(r.allComputed && r.segments.front().t0 > 180 && r.segments.back().tend < 169) << r.segments.back().tend;
}

TEST(InsulatedPipe, ARowSaysEachLimitItBreaksWithItsNumbers)
{
    // 30 mm of rock wool alone: surface 85.699 ℃ and Q 985.261 W/m² (reference), and rock wool used at 450 ℃
    // above its 400 ℃.
    PipelineDocument d = insulatedMain(100, 60);
    d.constructions[0] = {.name = "主线保温", .inner = {"岩棉", 30}, .jacket = "铝合金薄板", .wind = 3};
    PipelineResult r = calculatePipeline(d);
    EXPECT_EQ(text(d, r, Column::remark), "表面温度 85.699 ℃ 高于限值 50 ℃；热损失 985.261 W/m² 高于允许的 220.000 W/m²；"
                                           "蒸汽温度 450.000 ℃ 高于内层材料的推荐使用温度 400 ℃");
    EXPECT_TRUE(r.segments[0].insulation->surfaceTooHot && r.segments[0].insulation->lossTooHigh && !insulationLimitsMet(r));
    // A surface limit of the document's own: 86 ℃ lets the surface pass.
    d.insulation.surfaceLimit = 86;
    EXPECT_EQ(text(d, calculatePipeline(d), Column::remark).find("表面温度"), std::string::npos);
    // 20 mm of felt under 80 mm of rock wool: the interface at 382.108 ℃, above 0.9 of rock wool's 400 ℃.
    d.constructions[0] = {.name = "主线保温", .inner = {"硅酸铝棉毡", 20}, .outer = {"岩棉", 80}, .jacket = "铝合金薄板", .wind = 3};
    EXPECT_EQ(text(d, calculatePipeline(d), Column::remark),
              "热损失 257.985 W/m² 高于允许的 220.000 W/m²；界面温度 382.108 ℃ 高于外层材料推荐使用温度的 0.9 倍 360 ℃");

    // What is missing stops the pipe at its heat-loss cell, named.
    const std::pair<void (*)(PipelineDocument&), std::string> gaps[] = {
        {[](PipelineDocument& x) { x.constructions[0].outer.thickness.reset(); }, "保温做法“主线保温”的外层厚度未给出"},
        {[](PipelineDocument& x) { x.constructions[0].wind.reset(); }, "保温做法“主线保温”未给出风速"},
        {[](PipelineDocument& x) { x.constructions[0].jacket.clear(); }, "保温做法“主线保温”未给出外护层或黑度"},
        {[](PipelineDocument& x) { x.constructions[0].inner.material = "自己的"; x.ownMaterials.push_back({.name = "自己的", .a = 0.03}); },
         "保温做法“主线保温”：自定义材料“自己的”的导热系数未给全"},
        {[](PipelineDocument& x) { x.segments[0].construction = "别的"; }, "保温做法“别的”不存在"},
    };
    for (const auto& [gap, message] : gaps) {
        PipelineDocument broken = insulatedMain(100, 60);
        gap(broken);
        const SegmentRun run = calculatePipeline(broken).segments[0];
        EXPECT_EQ(std::tuple(run.status, run.field, run.message), std::tuple(SegmentStatus::failed, SegmentField::heatLoss, message));
    }
    // A material of one's own, λ = 0.03 + 1e-4 tm + 2e-7 tm², computes as the same equation would built in.
    PipelineDocument own = insulatedMain(100, 60);
    own.ownMaterials.push_back({.name = "自己的", .a = 0.03, .b = 1e-4, .c = 2e-7, .useUpTo = 600});
    own.constructions[0].outer.material = "自己的";
    const PipelineResult ownResult = calculatePipeline(own);
    EXPECT_EQ(text(own, ownResult, Column::lossPerMetre),
              formatFixed(insulation::solveHeatLoss(mainLayers(325, insulation::ownMaterial(0.03, 1e-4, 2e-7, 600)), {450, 20, 3, 0.225})->perMetre, 3));
}

TEST(InsulatedPipe, SizingKeepsTheConstructionAndItsLayersFollowTheNewPipe)
{
    // A source feeding two consumers through insulated DN100 pipes, far too small for 30 t/h each: sized, every
    // pipe keeps its construction, whose layers now wrap the new pipe.
    PipelineDocument d = insulatedMain(500, 30);
    d.segments[0].flow.reset();
    std::tie(d.segments[0].from, d.segments[0].to, d.segments[0].dn) = std::tuple("S", "A", 100);
    for (const char* to : {"B", "C"}) {
        d.segments.push_back(d.segments[0]);
        std::tie(d.segments.back().from, d.segments.back().to) = std::tuple("A", to);
    }
    d.nodes = {{.name = "B", .demand = 30, .requiredPressure = 1.2}, {.name = "C", .demand = 30, .requiredPressure = 1.2}};
    const SizingResult sized = sizeNetwork(d);
    ASSERT_EQ(sized.outcome, SizingOutcome::sized) << (sized.problems.empty() ? "" : sized.problems[0]);
    EXPECT_EQ(sized.document.constructions, d.constructions);
    const PipelineResult r = calculatePipeline(sized.document);
    ASSERT_TRUE(r.allComputed);
    for (std::size_t i = 0; i < 3; ++i) {
        const PipelineSegment& s = sized.document.segments[i];
        EXPECT_TRUE(s.dn > 100 && s.construction == "主线保温") << s.dn;
        EXPECT_EQ(cellText(s, &r.segments[i], Column::lossPerMetre),
                  formatFixed(insulation::solveHeatLoss(mainLayers(findCatalogueRow(s.dn)->waijing), {r.segments[i].t0, 20, 3, 0.225})->perMetre, 3));
    }
}

TEST(InsulatedPipe, FilesKeepTheConstructionsAndRefuseWhatCannotBeOne)
{
    PipelineDocument d = insulatedMain(1000, 20);
    d.ownMaterials.push_back({.name = "自己的", .a = 0.03, .b = 1e-4, .c = 2e-7, .useUpTo = 600});
    d.constructions.push_back({.name = "室内", .inner = {"自己的", 50}, .emissivity = 0.9, .wind = 0});
    d.insulation = {.surfaceLimit = 60, .seasonal = true, .heatPrice = 80, .hours = 8000, .insulationPrice = 1200,
                    .jacketPrice = 150, .years = 6, .interest = 0.1};
    const std::string file = writePipelineFile(d);
    const PipelineFileRead read = readPipelineFile(file);
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(*read.document, d);
    EXPECT_TRUE(writePipelineFile(*read.document) == file && file.find("\"version\": 3") != std::string::npos);
    // A document without insulation keeps the version, and the bytes, of before.
    PipelineDocument plain = insulatedMain(1000, 20);
    plain.segments[0].heatLossSource = HeatLossSource::overhead;
    plain.segments[0].construction.clear();
    plain.constructions.clear();
    const std::string plainFile = writePipelineFile(plain);
    EXPECT_TRUE(plainFile.find("\"version\": 2") != std::string::npos && plainFile.find("construction") == std::string::npos);

    const auto refused = [&file](const std::string& from, const std::string& to) {
        std::string edited = file;
        const std::size_t at = edited.find(from);
        if (at == std::string::npos) return std::string("(not in the file: ") + from + ")";
        return readPipelineFile(edited.replace(at, from.size(), to)).error;
    };
    EXPECT_EQ(refused("\"material\": \"岩棉\"", "\"material\": \"棉花\""), "字段 constructions[0].outer.material：没有名为“棉花”的保温材料");
    EXPECT_EQ(refused("\"jacket\": \"铝合金薄板\"", "\"jacket\": \"铁皮\""), "字段 constructions[0].jacket：没有名为“铁皮”的外护层");
    EXPECT_EQ(refused("\"construction\": \"主线保温\"", "\"construction\": \"没有\""), "字段 segments[0].heatLoss.construction：没有名为“没有”的保温做法");
    EXPECT_EQ(refused("\"thickness\": 80", "\"thickness\": 0"), "字段 constructions[0].inner.thickness 应大于 0 且不大于 1000 mm");
    EXPECT_EQ(refused("\"thickness\": 80", "\"thickness\": 1000.5"), "字段 constructions[0].inner.thickness 应大于 0 且不大于 1000 mm");
    EXPECT_EQ(refused("\"wind\": 3", "\"wind\": -1"), "字段 constructions[0].wind 应在 0 至 100 m/s 之间");
    EXPECT_EQ(refused("\"emissivity\": 0.9", "\"emissivity\": 1.5"), "字段 constructions[1].emissivity 应大于 0 且不大于 1");
    EXPECT_EQ(refused("\"emissivity\": 0.9", "\"emissivity\": 0"), "字段 constructions[1].emissivity 应大于 0 且不大于 1");
    EXPECT_EQ(refused("\"name\": \"室内\"", "\"name\": \"主线保温\""), "字段 constructions[1].name 重复：保温做法“主线保温”");
    EXPECT_EQ(refused("\"name\": \"自己的\"", "\"name\": \"岩棉\""), "字段 ownMaterials[0].name 重复：材料“岩棉”");
    EXPECT_EQ(refused("\"source\": \"insulated\"", "\"source\": \"overhead\""),
              "字段 segments[0].heatLoss.construction 应为空：该管段不按保温做法计算热损失");
}

}  // namespace
}  // namespace dorvent
