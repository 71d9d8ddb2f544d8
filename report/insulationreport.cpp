#include "report/insulationreport.h"

#include <cmath>
#include <set>

#include "insulation/economics.h"
#include "insulation/jackets.h"
#include "insulation/materials.h"
#include "insulation/thickness.h"
#include "numtext/formatnumber.h"
#include "pipeline/pipelinetable.h"
#include "pipes/guanjing.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString fixed(double value, int decimals) { return qs(formatFixed(value, decimals)); }

PageTable::Column textColumn(const QStringList& header) { return {header, false}; }
PageTable::Column numberColumn(const QStringList& header) { return {header, true}; }

/// A coefficient as the code prints it: 0.043, 1.5×10⁻⁴.
QString coefficient(double value)
{
    const double magnitude = std::fabs(value);
    if (magnitude == 0 || magnitude >= 1e-3) return qs(formatShortest(value));
    const int power = static_cast<int>(std::floor(std::log10(magnitude)));
    static const QString kSuperscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString exponent = QStringLiteral("⁻");
    for (const QChar digit : QString::number(-power)) exponent += kSuperscripts[digit.digitValue()];
    return qs(formatShortest(std::round(value / std::pow(10.0, power) * 1e6) / 1e6)) + QStringLiteral("×10") + exponent;
}

QString pieceText(const insulation::ConductivityPiece& piece)
{
    const QString x = piece.from == 0 ? QStringLiteral("tm") : QStringLiteral("(tm − %1)").arg(qs(formatShortest(piece.from)));
    static const QString kPowers[] = {QString(), QString(), QStringLiteral("²"), QStringLiteral("³")};
    QString text = coefficient(piece.c[0]);
    for (int k = 1; k < 4; ++k) {
        if (piece.c[static_cast<std::size_t>(k)] == 0) continue;
        const double c = piece.c[static_cast<std::size_t>(k)];
        text += (c < 0 ? QStringLiteral(" − ") : QStringLiteral(" + ")) + coefficient(std::fabs(c)) + QStringLiteral("·") + x + kPowers[k];
    }
    return text;
}

/// How the surface gives off heat to the air, by the code's case for the wind and the diameter.
QString convectionCase(double wind, double outerDiameterMm)
{
    if (wind == 0) return QStringLiteral("无风");
    return wind * outerDiameterMm / 1000 > 0.8 ? QStringLiteral("W·D>0.8") : QStringLiteral("W·D≤0.8");
}

QString layerText(const InsulationLayer& layer)
{
    if (layer.material.empty()) return QStringLiteral("—");
    return qs(layer.material) + (layer.thickness ? QStringLiteral(" %1 mm").arg(qs(formatShortest(*layer.thickness))) : QString());
}

/// The outer diameter [mm] of the pipe the segment names.
std::optional<double> pipeDiameter(const PipelineSegment& s)
{
    if (const PipeSize* pipe = findCatalogueRow(s.dn)) return pipe->waijing;
    return s.outerDiameter;
}

bool pricesGiven(const InsulationSettings& s)
{
    return s.heatPrice && s.hours && s.insulationPrice && s.jacketPrice && s.years && s.interest;
}

}  // namespace

QString conductivityText(const PipelineDocument& document, const std::string& material)
{
    if (const auto builtIn = insulation::findMaterial(material)) {
        if (builtIn->pieceCount == 1) return pieceText(builtIn->pieces[0]);
        return QStringLiteral("tm ≤ %1：%2；tm > %1：%3")
            .arg(qs(formatShortest(builtIn->pieces[0].upTo)), pieceText(builtIn->pieces[0]), pieceText(builtIn->pieces[1]));
    }
    const OwnMaterial* own = findOwnMaterial(document, material);
    if (own == nullptr || !own->a || !own->b || !own->c) return QStringLiteral("未给全");
    return pieceText({insulation::kNoUpperEnd, 0, {*own->a, *own->b, *own->c, 0}});
}

std::optional<InsulationSection> insulationSection(const PipelineDocument& d, const PipelineResult& result)
{
    std::vector<std::size_t> insulated;
    for (std::size_t i = 0; i < d.segments.size(); ++i) {
        if (d.segments[i].heatLossSource == HeatLossSource::insulated) insulated.push_back(i);
    }
    if (insulated.empty()) return std::nullopt;
    InsulationSection section;
    const QString limit = d.insulation.surfaceLimit
                              ? QStringLiteral("%1 ℃").arg(qs(formatShortest(*d.insulation.surfaceLimit)))
                              : QStringLiteral("环境温度不高于 25 ℃ 时为 50 ℃，高于 25 ℃ 时为环境温度加 25 ℃");
    section.method = QStringLiteral(
        "保温管道的热损失按《工业设备及管道绝热工程设计规范》GB 50264-2013 计算。管道外壁温度取蒸汽温度 T0，"
        "热流依次通过各保温层：q = 2πλ1(T0 − T1)/ln(D1/D0) = 2πλ2(T1 − Ts)/ln(D2/D1) = πD2αs(Ts − Ta)，"
        "由此求出外表面温度 Ts 与层间温度 T1，Q = q/(πD2)；各层导热系数 λ 按该层的平均温度 tm 计算（附录 A）。"
        "外表面放热系数 αs = αr + αc，αr = 5.669ε/(Ts − Ta)·[((273 + Ts)/100)⁴ − ((273 + Ta)/100)⁴]；"
        "无风时 αc = 26.4/√(297 + 0.5(Ts + Ta))·((Ts − Ta)/D)^0.25，有风且 W·D ≤ 0.8 时 αc = 0.008/D + 4.2W^0.618/D^0.382，"
        "W·D > 0.8 时 αc = 4.53W^0.805/D^0.195。岩棉、矿渣棉的两式在 tm = 100 ℃ 处不相接，其间 95～105 ℃ 按直线过渡。管段每 100 m 一段，以该段蒸汽平均温度求其热损失，再乘以 (1 + 局部热损失系数)。"
        "下表为各管段起点（温度最高处）的值；外表面温度限值：%1；最大允许热损失按附录 B（%2）在相邻两行之间线性插值，"
        "表外的温度不外推，记为“—”。")
                         .arg(limit, d.insulation.seasonal ? QStringLiteral("季节运行") : QStringLiteral("常年运行"));

    // The constructions the pipes use, and their materials.
    std::set<std::string> used, materials;
    for (const std::size_t i : insulated) used.insert(d.segments[i].construction);
    section.constructions.columns = {textColumn({QStringLiteral("保温做法")}), textColumn({QStringLiteral("内层")}),
                                     textColumn({QStringLiteral("外层")}), textColumn({QStringLiteral("外护层")}),
                                     numberColumn({QStringLiteral("黑度")}), numberColumn({QStringLiteral("风速"), QStringLiteral("m/s")})};
    for (const InsulationConstruction& c : d.constructions) {
        if (used.count(c.name) == 0) continue;
        const std::optional<double> emissivity = emissivityOf(c);
        section.constructions.rows.push_back({qs(c.name), layerText(c.inner), layerText(c.outer),
                                              c.jacket.empty() ? QStringLiteral("—") : qs(c.jacket),
                                              emissivity ? qs(formatShortest(*emissivity)) : QString(),
                                              c.wind ? qs(formatShortest(*c.wind)) : QString()});
        for (const InsulationLayer* layer : {&c.inner, &c.outer}) {
            if (!layer->material.empty()) materials.insert(layer->material);
        }
    }
    section.materials.columns = {textColumn({QStringLiteral("材料")}), textColumn({QStringLiteral("导热系数 λ"), QStringLiteral("W/(m·K)")}),
                                 numberColumn({QStringLiteral("推荐使用温度"), QStringLiteral("℃")})};
    for (const std::string& name : materials) {
        const auto builtIn = insulation::findMaterial(name);
        const OwnMaterial* own = findOwnMaterial(d, name);
        QString upTo;
        if (builtIn) upTo = qs(formatShortest(builtIn->useUpTo));
        else if (own != nullptr && own->useUpTo) upTo = qs(formatShortest(*own->useUpTo));
        section.materials.rows.push_back({qs(name) + (builtIn ? QString() : QStringLiteral("（自定义）")), conductivityText(d, name), upTo});
    }

    // Every insulated pipe at its start.
    section.pipes.columns = {textColumn({QStringLiteral("管段")}), textColumn({QStringLiteral("保温做法")}),
                             numberColumn({QStringLiteral("保温外径"), QStringLiteral("mm")}), textColumn({QStringLiteral("放热")}),
                             numberColumn({QStringLiteral("起点温度"), QStringLiteral("℃")}), numberColumn({QStringLiteral("表面温度"), QStringLiteral("℃")}),
                             numberColumn({QStringLiteral("温度限值"), QStringLiteral("℃")}), numberColumn({QStringLiteral("q"), QStringLiteral("W/m")}),
                             numberColumn({QStringLiteral("Q"), QStringLiteral("W/m²")}), numberColumn({QStringLiteral("允许 Q"), QStringLiteral("W/m²")})};
    for (const std::size_t i : insulated) {
        const PipelineSegment& s = d.segments[i];
        const SegmentRun* run = i < result.segments.size() ? &result.segments[i] : nullptr;
        const QString name = QStringLiteral("%1 %2").arg(i + 1).arg(qs(s.label)).trimmed();
        if (run == nullptr || run->status != SegmentStatus::computed || !run->insulation) {
            section.pipes.rows.push_back({name, qs(s.construction), QString(), QString(), QString(), QString(), QString(), QString(), QString(),
                                          QString()});
            continue;
        }
        const InsulationCheck& at = *run->insulation;
        const InsulationConstruction* c = findConstruction(d, s.construction);
        const std::optional<double> d0 = pipeDiameter(s);
        double outer = d0.value_or(0);
        for (const InsulationLayer* layer : {&c->inner, &c->outer}) outer += 2 * layer->thickness.value_or(0);
        section.pipes.rows.push_back({name, qs(s.construction), qs(formatShortest(outer)), convectionCase(c->wind.value_or(0), outer),
                                      fixed(run->t0, 3), fixed(at.surface, 3), qs(formatShortest(surfaceLimitOf(d, *s.ambient))),
                                      fixed(at.perMetre, 3), fixed(at.perSquareMetre, 3),
                                      at.allowed ? fixed(*at.allowed, 3) : QStringLiteral("—")});
        if (!at.warnings.empty()) section.warnings << QStringLiteral("管段 %1：%2").arg(name, qs(at.warnings));
    }
    if (section.warnings.isEmpty()) section.warnings << QStringLiteral("各保温管段均不超出限值。");

    // The thickness design, with the document's prices.
    const InsulationSettings& p = d.insulation;
    if (!pricesGiven(p)) {
        section.thicknessNotes << QStringLiteral("文件中未给全热价、年运行小时数、保温材料与外护层价格、计算年限和年利率，未作经济厚度计算。");
        return section;
    }
    const insulation::Prices prices{*p.heatPrice, *p.hours, *p.insulationPrice, *p.jacketPrice, static_cast<int>(*p.years), *p.interest};
    PageTable thickness;
    thickness.columns = {textColumn({QStringLiteral("管段")}), textColumn({QStringLiteral("所求厚度的层")}),
                         numberColumn({QStringLiteral("现厚度"), QStringLiteral("mm")}), numberColumn({QStringLiteral("满足限值的"), QStringLiteral("最小厚度 mm")}),
                         numberColumn({QStringLiteral("经济厚度"), QStringLiteral("mm")}), numberColumn({QStringLiteral("年费用"), QStringLiteral("元/(m·a)")}),
                         numberColumn({QStringLiteral("经济厚度公式"), QStringLiteral("mm")})};
    for (const std::size_t i : insulated) {
        const PipelineSegment& s = d.segments[i];
        const SegmentRun* run = i < result.segments.size() ? &result.segments[i] : nullptr;
        const std::optional<double> d0 = pipeDiameter(s);
        if (run == nullptr || run->status != SegmentStatus::computed || !d0) continue;
        const auto found = pipeInsulation(d, s, *d0, *s.ambient);
        const auto* pipe = std::get_if<PipeInsulation>(&found);
        if (pipe == nullptr) continue;
        const insulation::Surroundings around{run->t0, pipe->ambient, pipe->wind, pipe->emissivity};
        const insulation::Operation operation = p.seasonal ? insulation::Operation::seasonal : insulation::Operation::yearRound;
        const insulation::Limits limits{surfaceLimitOf(d, pipe->ambient), insulation::allowedHeatLoss(run->t0, operation)};
        const InsulationConstruction* c = findConstruction(d, s.construction);
        const InsulationLayer& varied = c->outer.material.empty() ? c->inner : c->outer;
        const auto least = insulation::leastThickness(pipe->construction, around, limits);
        const auto economic = insulation::economicThicknessBySearch(pipe->construction, around, prices);
        const auto closed = pipe->construction.outer ? insulation::Outcome<insulation::ClosedFormThickness>::refused("")
                                                     : insulation::economicThicknessClosedForm(pipe->construction, around, prices);
        thickness.rows.push_back({QStringLiteral("%1 %2").arg(i + 1).arg(qs(s.label)).trimmed(), qs(varied.material),
                                  qs(formatShortest(varied.thickness.value_or(0))),
                                  least ? qs(formatShortest(*least)) : qs(least.reason()),
                                  economic ? qs(formatShortest(economic->thickness)) : qs(economic.reason()),
                                  economic ? fixed(economic->yearlyCost, 2) : QString(),
                                  closed ? QStringLiteral("%1（%2）").arg(qs(formatShortest(closed->rounded)), fixed(closed->exact, 1))
                                         : QStringLiteral("—")});
    }
    section.thickness = thickness;
    section.thicknessNotes << QStringLiteral(
        "厚度按 10 mm 递增，只改变最外一层。最小厚度同时满足外表面温度限值和最大允许热损失；经济厚度为热损失费用与保温、"
        "外护层投资年摊销之和最小者（热价 %1 元/GJ，年运行 %2 h，保温材料 %3 元/m³，外护层 %4 元/m²，%5 年，年利率 %6）；"
        "单层保温另按规范的经济厚度公式计算，括号内为公式的精确值，该式不计外护层价格。")
                                  .arg(qs(formatShortest(*p.heatPrice)), qs(formatShortest(*p.hours)), qs(formatShortest(*p.insulationPrice)),
                                       qs(formatShortest(*p.jacketPrice)), qs(formatShortest(*p.years)), qs(formatShortest(*p.interest)));
    return section;
}

}  // namespace dorvent
