#include "report/wetreport.h"

#include <set>

#include "numtext/formatnumber.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QString pipeName(const PipelineDocument& d, std::size_t i)
{
    return QStringLiteral("管段 %1 %2").arg(i + 1).arg(qs(d.segments[i].label)).trimmed();
}

QString methodText(const PipelineDocument& d)
{
    return QStringLiteral(
               "温降按焓平衡计算（温降计算：按焓平衡）。每段的热损失 Q（kJ/h）由蒸汽的焓支付：末端比焓 h₂ = h₁ − Q/(1000·G)，"
               "G 为设计流量（t/h）；末端温度由末端压力和比焓按 IF97 求得，T = T(p, h)。这样计入了过热蒸汽随压力降低而产生的"
               "节流降温，按热损失的温降 Δt = Q/(G·cp) 不计此项。蒸汽冷却至饱和后按湿蒸汽继续计算：T 为压力 p 下的饱和温度，"
               "干度 x = (h − h′)/(h″ − h′)，h′、h″ 为饱和水和饱和蒸汽的比焓（饱和温度按区域 4 的饱和压力方程，h′ 按区域 1、"
               "h″ 按区域 2 在饱和温度下求得）；湿蒸汽按均相流计算，比容 v = v′ + x·(v″ − v′)，比摩阻和流速按汽水混合物的密度 1/v "
               "计算。蒸汽开始饱和之处由该段内比焓与饱和蒸汽比焓的直线变化求得；管段内生成的凝结水量为 G·(x₁ − x₂)，"
               "过热蒸汽的 x 取 1。干度低于最低干度 %1 时均相流不再适用，该管段计算到此为止，其下游不计算。")
        .arg(qs(formatShortest(d.lowestDryness)));
}

/// The pipes the steam of a pipe goes on to, the pipe first: the rest of a series main, or the
/// subtree of a network below it.
std::vector<std::size_t> pipesFrom(const PipelineResult& result, std::size_t pipe)
{
    std::vector<std::size_t> pipes{pipe};
    if (!result.network) {
        for (std::size_t i = pipe + 1; i < result.segments.size(); ++i) pipes.push_back(i);
        return pipes;
    }
    for (std::size_t k = 0; k < pipes.size(); ++k) {
        const std::optional<std::size_t> end = result.segments[pipes[k]].toNode;
        for (std::size_t i = 0; i < result.segments.size(); ++i) {
            if (end && result.segments[i].fromNode == end && i != pipe) pipes.push_back(i);
        }
    }
    return pipes;
}

/// Each computed pipe's end temperature by the energy balance and by the heat-loss law from the
/// same start, and their difference; why there is none where there is none.
PageTable comparisonTable(const PipelineDocument& d, const PipelineResult& result)
{
    PageTable table;
    table.columns = {{{QStringLiteral("管段")}, false},
                     {{QStringLiteral("末端温度"), QStringLiteral("按焓平衡 ℃")}, true},
                     {{QStringLiteral("末端温度"), QStringLiteral("按热损失 ℃")}, true},
                     {{QStringLiteral("两者之差"), QStringLiteral("℃")}, true}};
    for (std::size_t i = 0; i < d.segments.size() && i < result.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        if (run.status != SegmentStatus::computed || !run.balance) continue;
        const QString balanced = qs(cellText(d.segments[i], &run, Column::tend));
        const QString heatLoss = qs(cellText(d.segments[i], &run, Column::heatLossLawTend));
        QString difference;
        if (!heatLoss.isEmpty()) {
            difference = qs(formatFixed(heatLoss.toDouble() - balanced.toDouble(), 3));
        } else {
            difference = run.balance->startDryness < 1 ? QStringLiteral("起点为湿蒸汽") : QStringLiteral("按热损失不能算出");
        }
        table.rows.push_back({pipeName(d, i), balanced, heatLoss.isEmpty() ? QStringLiteral("—") : heatLoss, difference});
    }
    return table;
}

/// A line for every pipe where the steam becomes saturated: where, and the condensate formed
/// there and behind; then the total beside the heat loss.
QStringList drainPointLines(const PipelineDocument& d, const PipelineResult& result)
{
    QStringList lines;
    for (std::size_t i = 0; i < d.segments.size() && i < result.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        const QString distance = qs(cellText(d.segments[i], &run, Column::saturationDistance));
        if (run.status != SegmentStatus::computed || distance.isEmpty()) continue;
        lines << QStringLiteral("%1：蒸汽在距起点 %2 m 处达到饱和，此后析出凝结水；本管段生成 %3 t/h，连同其下游管段共 %4 t/h，"
                                "末端干度 %5。")
                     .arg(pipeName(d, i), distance, qs(cellText(d.segments[i], &run, Column::condensate)),
                          qs(formatFixed(condensateFromPipe(result, i), 3)), qs(cellText(d.segments[i], &run, Column::dryness)));
    }
    if (lines.isEmpty()) lines << QStringLiteral("已算出的管段中蒸汽均未达到饱和，没有凝结水。");
    const QString total = qs(totalsText(result, Column::condensate));
    if (!total.isEmpty()) {
        lines << QStringLiteral("%1凝结水量：%2 t/h，热损失：%3 kW")
                     .arg(result.network ? QStringLiteral("管网") : QStringLiteral("全线"), total,
                          qs(formatFixed(result.totals.heatLossKw, 3)));
    }
    return lines;
}

}  // namespace

double condensateFromPipe(const PipelineResult& result, std::size_t pipe)
{
    double sum = 0;
    for (const std::size_t i : pipesFrom(result, pipe)) {
        const SegmentRun& run = result.segments[i];
        if (run.status == SegmentStatus::computed && run.balance) sum += run.balance->condensate;
    }
    return sum;
}

std::optional<WetSteamSection> wetSteamSection(const PipelineDocument& document, const PipelineResult& result)
{
    if (document.temperatureLaw != TemperatureLaw::enthalpyBalance) return std::nullopt;
    return WetSteamSection{
        .method = methodText(document),
        .comparisonNote = QStringLiteral(
            "按热损失的末端温度为从同一起点状态按热损失温降公式（不计节流降温）算得的值；两者之差即按焓平衡计入的节流降温。"
            "起点为湿蒸汽、或蒸汽未到末端已冷却至饱和的管段，按热损失不能计算。"),
        .comparison = comparisonTable(document, result),
        .drainPoints = drainPointLines(document, result),
    };
}

}  // namespace dorvent
