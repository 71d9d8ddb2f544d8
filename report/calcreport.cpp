#include "report/calcreport.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "mainwin/songfont.h"
#include "mainwin/steaminput.h"
#include "numtext/formatnumber.h"
#include "report/filewrite.h"
#include "report/insulationreport.h"
#include "report/pagedlayout.h"
#include "pipeline/networksolver.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinetable.h"
#include "report/profilechart.h"
#include "report/schematic.h"
#include "pipeline/loadcases.h"
#include "report/casereport.h"
#include "report/wetreport.h"
#include "pipes/proposal.h"

namespace dorvent {
namespace {

constexpr char kProgram[] = "Dorvent 1.0";

QString titleOf(const PipelineResult& result)
{
    return result.network ? QStringLiteral("过热蒸汽管网计算书") : QStringLiteral("过热蒸汽管线计算书");
}

QString qs(const std::string& text) { return QString::fromStdString(text); }
QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont face(double points, bool bold = false)
{
    QFont font = songFont(points);
    font.setBold(bold);
    return font;
}

/// The formula's face: a Latin one, whose √ and λ are as narrow as its digits, where there is one;
/// a little smaller than the text, whose Latin letters are small beside its ideographs.
QFont formulaFace(const QFont& body)
{
    QFont font = body;
    font.setFamilies(QStringList{QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif")} + body.families());
    font.setPointSizeF(body.pointSizeF() * 0.88);
    return font;
}

/// The method, and the part of it that is the formula in its own face. No line breaks inside the
/// formula, nor between a number and its unit.
/// heatLossLaw: the temperature falls by the heat lost over G·cp (温降计算：按热损失); the energy
/// balance has a paragraph of its own after this one.
std::pair<QString, QList<QTextLayout::FormatRange>> method(bool network, bool heatLossLaw, const QFont& body)
{
    const QString before = QString::fromUtf8(
        "水和水蒸气的性质按国际水和水蒸气性质协会的工业公式 IAPWS\u2011IF97（1997\u00A0年版）计算，过热蒸汽用区域 2，"
        "超高温蒸汽用区域 5。管道的比摩阻按粗糙管（阻力平方区）公式 ");
    const QString formula = QString::fromUtf8("1/\u2060√λ\u00A0=\u00A01.14\u00A0+\u00A02\u00A0lg(d/\u2060K)");
    QString after = QString::fromUtf8(
        "，绝对粗糙度 K\u00A0=\u00A00.2\u00A0mm，由达西公式求得；局部阻力按管长的局部阻力系数计入。管段按每段 100\u00A0m "
        "分段计算，每段对温度降和压力降迭代求解，前一段的末端状态即后一段的起点状态。");
    if (heatLossLaw) {
        after += QString::fromUtf8("每段的温度降为该段热损失除以蒸汽流量与平均定压比热之积，Δt\u00A0=\u00A0Q/(G·cp)"
                                   "（温降计算：按热损失）。");
    }
    after += QString::fromUtf8(
        "保温管道的热损失为单位热损失乘以"
        "蒸汽平均温度与环境温度之差和管长，局部热损失按局部热损失系数计入；单位热损失取自《热能工程设计手册》表 4-37 "
        "或由设计者给出。");
    after += network ? QString::fromUtf8(
                           "管网为由一个汽源供汽的枝状管网，各管段以其起点节点的状态为起点状态，汽源的状态即起点蒸汽状态。"
                           "未输入流量的管段，其流量为终点节点的用汽量与自该节点流出的各管段流量之和，即由各用户的用汽量"
                           "自下游向汽源逐级汇总；输入了流量的管段按输入的流量计算。一根管段未能算出时，只有其下游的管段"
                           "和节点不能计算。各用户中未得到蒸汽者，否则压力裕量最小者（均无压力要求时为压力最低者）为最不利"
                           "用户；计算结果给出自汽源至最不利用户的路径，压力与温度的沿程分布即沿此路径。")
                     : QString::fromUtf8("各管段依次相连，后一管段的起点状态为前一管段的末端状态。");
    QTextLayout::FormatRange range{static_cast<int>(before.size()), static_cast<int>(formula.size()), {}};
    range.format.setFont(formulaFace(body));
    return {before + formula + after, {range}};
}

/// A unit of the main window's texts as print sets it: "kg/m3" as "kg/m³".
QString printedUnits(QString text)
{
    for (const auto& [typed, printed] : {std::pair("kg/m3", "kg/m³"), {"m3/kg", "m³/kg"}, {"kgf/cm2", "kgf/cm²"}}) {
        text.replace(QString::fromUtf8(typed), QString::fromUtf8(printed));
    }
    return text;
}

/// The start state as the main window's state report gives it, one line per line.
QStringList startState(const PipelineDocument& d)
{
    if (!d.startPressure || !d.startTemperature) return {QStringLiteral("未给出起点状态")};
    SteamState state;
    const std::string report =
        evaluateSteamParameters({*d.startPressure, d.pressureUnit, *d.startTemperature, d.temperatureUnit}, state);
    QStringList lines{QStringLiteral("起点压力 %1 %2，起点温度 %3 %4")
                          .arg(qs(formatShortest(*d.startPressure)), qs(d.pressureUnit),
                               qs(formatShortest(*d.startTemperature)), qs(d.temperatureUnit))};
    lines += qs(report).split(QStringLiteral("\r\n"));
    for (QString& line : lines) line = printedUnits(line);
    // The sources of a network of several: each with its state; what one leaves empty is the above.
    if (marksSources(d)) {
        lines << QStringLiteral("热源：");
        for (const NetworkNode& node : d.nodes) {
            if (node.source == SourceKind::none) continue;
            // Its own value, else the start state's above, said so.
            const auto value = [](const std::optional<double>& own, const char* unit, const std::optional<double>& start,
                                  const std::string& startUnit) {
                if (own) return qs(formatShortest(*own)) + QString::fromUtf8(unit);
                return start ? QStringLiteral("%1 %2（同起点）").arg(qs(formatShortest(*start)), qs(startUnit)) : QStringLiteral("—");
            };
            QString line = QStringLiteral("%1：%2，压力 %3，温度 %4")
                               .arg(qs(node.name), qs(std::string(kSourceKindNames[static_cast<std::size_t>(node.source)])),
                                    node.source == SourceKind::flow ? QStringLiteral("由管网定")
                                                                    : value(node.sourcePressure, " MPa", d.startPressure, d.pressureUnit),
                                    value(node.sourceTemperature, " ℃", d.startTemperature, d.temperatureUnit));
            if (node.source == SourceKind::flow) line += QStringLiteral("，流量 %1").arg(value(node.sourceFlow, " t/h", {}, {}));
            lines << printedUnits(line);
        }
    }
    // The case these results are of, where there is any other.
    if (!d.cases.empty()) {
        lines.prepend(QStringLiteral("工况：%1。除“工况对比”一节外，本计算书的结果均为此工况的结果").arg(qs(d.designCase)));
    } else if (d.designCase != kDesignCaseName) {
        lines.prepend(QStringLiteral("工况：%1").arg(qs(d.designCase)));
    }
    return lines;
}

QStringList velocityBands()
{
    QStringList lines;
    for (const auto& [name, dn] : {std::pair{"DN>200", 250.0f}, {"100≤DN≤200", 150.0f}, {"DN<100", 50.0f}}) {
        const VelocityBand band = velocityBand(dn);
        lines << QStringLiteral("%1：%2～%3 m/s").arg(QString::fromUtf8(name), qs(formatShortest(band.lowest)),
                                                      qs(formatShortest(band.highest)));
    }
    return lines;
}

/// A table of the given columns, one row per segment, and the totals when asked.
PageTable tableOf(const PipelineDocument& document, const PipelineResult& result, const std::vector<Column>& columns,
                  bool totals)
{
    PageTable table;
    for (const Column c : columns) {
        const auto [name, unit] = columnHeader(c);
        table.columns.push_back({unit.empty() ? QStringList{qs(name)} : QStringList{qs(name), qs(unit)}, !isTextColumn(c)});
    }
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        const SegmentRun* run = i < result.segments.size() ? &result.segments[i] : nullptr;
        QStringList row;
        for (const Column c : columns) row << qs(cellText(document.segments[i], run, c));
        table.rows.push_back(row);
    }
    if (totals) {
        QStringList row;
        for (const Column c : columns) row << qs(totalsText(result, c));
        table.rows.push_back(row);
        table.boldRows = 1;
    }
    return table;
}

/// The results of the pipes' table: those the document's table shows, but the insulation's
/// (its own section has them) and the heat-loss law's end temperature (its own table beside the
/// energy balance's).
std::vector<Column> resultColumns(const PipelineDocument& document)
{
    std::vector<Column> columns;
    for (const Column c : tableColumns(document)) {
        if (c >= kFirstResultColumn && c != Column::remark && !isInsulationColumn(c) && c != Column::heatLossLawTend) {
            columns.push_back(c);
        }
    }
    return columns;
}

std::vector<Column> columnsFrom(Column first, Column last)
{
    std::vector<Column> columns;
    for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c) columns.push_back(static_cast<Column>(c));
    return columns;
}

/// A segment's remark as its warnings and its notes (after kNoteMark).
std::pair<QString, QString> warningsAndNotes(const std::string& remark)
{
    const std::size_t mark = remark.find(kNoteMark);
    if (mark == std::string::npos) return {qs(remark), {}};
    QString warnings = qs(remark.substr(0, mark));
    if (warnings.endsWith(QStringLiteral("；"))) warnings.chop(1);
    return {warnings, qs(remark.substr(mark + kNoteMark.size()))};
}

/// What the segments ask attention for: a line for every segment with a warning, segments not
/// computed for the same reason, one after the other, sharing one; and the notes, each after the
/// name of its segment.
std::pair<QStringList, QStringList> remarks(const PipelineDocument& document, const PipelineResult& result)
{
    QStringList lines, notes;
    const std::size_t count = std::min(document.segments.size(), result.segments.size());
    for (std::size_t i = 0; i < count; ++i) {
        const SegmentRun& run = result.segments[i];
        const std::string& label = document.segments[i].label;
        const QString name = QStringLiteral("管段 %1").arg(i + 1) + (label.empty() ? QString() : " " + qs(label));
        if (run.status == SegmentStatus::notComputed) {
            std::size_t last = i;
            while (last + 1 < count && result.segments[last + 1].status == SegmentStatus::notComputed &&
                   result.segments[last + 1].message == run.message) {
                ++last;
            }
            lines << (last == i ? QStringLiteral("管段 %1：%2").arg(i + 1).arg(qs(run.message))
                                : QStringLiteral("管段 %1 至 %2：%3").arg(i + 1).arg(last + 1).arg(qs(run.message)));
            i = last;
            continue;
        }
        const auto [warnings, note] = warningsAndNotes(cellText(document.segments[i], &run, Column::remark));
        if (!warnings.isEmpty()) lines << name + QStringLiteral("：") + warnings;
        if (!note.isEmpty()) notes << name + " " + note;
    }
    return {lines.isEmpty() ? QStringList{QStringLiteral("各管段均无超限。")} : lines, notes};
}

/// The nodes of a network: what each needs, what it gets, and what it is short of.
QString mainFeeder(const PipelineResult& result, const NodeRun& node);

PageTable nodeTable(const PipelineDocument& document, const PipelineResult& result)
{
    PageTable table;
    std::vector<NodeColumn> columns = nodeTableColumns(document);
    // The sources' own inputs stand in the section of the start state, with what they take.
    std::erase_if(columns, [](NodeColumn c) { return std::find(kSourceColumns.begin(), kSourceColumns.end(), c) != kSourceColumns.end(); });
    for (const NodeColumn column : columns) {
        const auto [name, unit] = nodeColumnHeader(column);
        const bool text = column == NodeColumn::name || column == NodeColumn::kind || column == NodeColumn::remark ||
                          column == NodeColumn::source || column == NodeColumn::feeders;
        table.columns.push_back({unit.empty() ? QStringList{qs(name)} : QStringList{qs(name), qs(unit)}, !text});
    }
    for (const NodeRun& node : result.nodes) {
        QStringList row;
        for (const NodeColumn column : columns) {
            row << (column == NodeColumn::feeders ? mainFeeder(result, node) : qs(nodeCellText(document, result, node, column)));
        }
        table.rows.push_back(row);
    }
    return table;
}

/// The column 汽源份额 of the report, narrow enough for a page: a node's main source and its
/// share; a source's flow. The shares of nodes fed by several sources follow the table whole.
QString mainFeeder(const PipelineResult& result, const NodeRun& node)
{
    for (const SourceRun& source : result.sources) {
        if (&result.nodes[source.node] == &node) return node.computed ? qs(formatFixed(source.flow, 3)) + QStringLiteral(" t/h") : QString();
    }
    if (!node.computed || node.shares.empty()) return {};
    const auto most = std::max_element(node.shares.begin(), node.shares.end());
    const std::size_t k = static_cast<std::size_t>(most - node.shares.begin());
    return QStringLiteral("%1 %2%").arg(qs(result.nodes[result.sources[k].node].name), qs(formatFixed(100 * *most, 1)));
}

/// The nodes that more than one source feeds, each with every source's share.
QStringList sharedSupply(const PipelineDocument& document, const PipelineResult& result)
{
    QStringList lines;
    for (const NodeRun& node : result.nodes) {
        if (!node.computed || node.kind == NodeKind::source) continue;
        const auto fed = std::count_if(node.shares.begin(), node.shares.end(), [](double share) { return share >= 0.0005; });
        if (fed > 1) lines << qs(node.name) + QStringLiteral("：") + qs(nodeCellText(document, result, node, NodeColumn::feeders));
    }
    if (!lines.isEmpty()) lines.prepend(QStringLiteral("由多个热源供汽的节点（汽源份额按流向追溯）："));
    return lines;
}

/// The network's totals and its critical consumer with the path to it.
QStringList networkTotals(const PipelineDocument& document, const PipelineResult& result)
{
    QStringList lines{QStringLiteral("总用汽量：%1 t/h").arg(qs(formatShortest(result.totals.demand)))};
    if (result.totals.sourceFlow) lines << QStringLiteral("汽源流量：%1 t/h").arg(qs(totalsText(result, Column::flow)));
    lines << QStringLiteral("已算管段总长：%1 m").arg(qs(formatShortest(result.totals.length)));
    if (result.allComputed) lines << QStringLiteral("管网热损失：%1 kW").arg(qs(formatFixed(result.totals.heatLossKw, 3)));
    if (const std::string condensate = totalsText(result, Column::condensate); !condensate.empty()) {
        lines << QStringLiteral("管网凝结水量：%1 t/h").arg(qs(condensate));
    }
    if (result.critical) {
        const NodeRun& critical = result.nodes[*result.critical];
        QString line = QStringLiteral("最不利用户：%1，路径 %2").arg(qs(critical.name), qs(pathText(document, result, result.critical)));
        if (critical.pressureMargin) line += QStringLiteral("，压力裕量 %1 MPa").arg(qs(formatFixed(*critical.pressureMargin, 3)));
        lines << line;
    }
    // How the solve went, and what each source delivers.
    for (const QString& line : qs(solveLines(result)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) lines << line.trimmed();
    return lines;
}

/// How a network with loops or several sources is solved, with the tolerances the solve keeps.
QString solveMethod()
{
    return QStringLiteral(
        "本管网含环路或多个热源，各管段的流量和流向由计算求得。以定压热源的压力和温度、定流量热源的流量和温度为边界，"
        "先按平方律（压降 = S·G·|G|，阻力系数 S 取各管段上一次实际计算的压降除以流量的平方）用牛顿法求各环路的流量，"
        "使各节点流入的蒸汽等于流出的蒸汽加用汽量；再按流向，从压力高的节点到低的节点，用上述管段计算方法逐根算出"
        "各管段的压降和末端状态，节点的蒸汽为流入蒸汽按焓混合（定压热源节点保持其给定状态）。两步交替迭代，"
        "直至汇于每个节点的各管段末端压力相差不超过 %1 MPa；节点流量平衡在每次迭代中都精确满足。"
        "流速低于 %2 m/s 而不能算出的管段视为近乎滞流，管内蒸汽冷凝，其流量计入平衡而不参与混合。")
        .arg(qs(formatShortest(kPressureTolerance)), qs(formatShortest(kStagnantVelocity)));
}

void titleBlock(PagedLayout& layout, const PipelineDocument& document, const QString& title, const QString& date)
{
    layout.space(layout.millimetres(12));
    layout.paragraph(title, face(20, true), Qt::AlignHCenter);
    layout.paragraph(qs(document.project), face(14), Qt::AlignHCenter);
    layout.space(layout.millimetres(8));
    layout.form({{QString(), QStringLiteral("姓名"), QStringLiteral("签字"), QStringLiteral("日期")},
                 {QStringLiteral("设计"), qs(document.designer), QString(), date},
                 {QStringLiteral("校核"), QString(), QString(), QString()},
                 {QStringLiteral("审核"), QString(), QString(), QString()}},
                {0.16, 0.30, 0.30, 0.24}, layout.millimetres(11), face(10.5));
    layout.lines({QStringLiteral("计算程序：%1").arg(QString::fromLatin1(kProgram)), QStringLiteral("计算日期：%1").arg(date)},
                 face(10.5));
    layout.space(layout.millimetres(4));
}

/// The running header: the title and the project on the left, the page on the right, a rule below.
void runningHeader(QPainter& painter, const QRectF& area, int page, int pages, const QString& title)
{
    painter.setFont(face(9));
    painter.setPen(Qt::black);
    const QRectF line(area.left(), area.top(), area.width(), area.height() * 0.6);
    const QString number = QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pages);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double room = area.width() - metrics.horizontalAdvance(number) - metrics.averageCharWidth() * 4;
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(title, Qt::ElideRight, room));
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, number);
    painter.drawLine(QPointF(area.left(), line.bottom()), QPointF(area.right(), line.bottom()));
}

/// The schematic at a size its labels can be read at, over as many pages as it needs, cut between
/// its rows; its legend after it.
void schematicPages(PagedLayout& layout, const Schematic& schematic)
{
    const double point = layout.millimetres(25.4 / 72);  // pixels of a typographic point
    // As large as the page's width allows, and no larger than its own size: labels of 9 pt.
    const QRectF& bounds = schematic.bounds;
    const double scale = std::min(layout.width() / bounds.width(), point);
    std::vector<double> cuts = schematicCuts(schematic);
    for (double& cut : cuts) cut *= scale;
    layout.picture(bounds.height() * scale, cuts, [&schematic, scale](QPainter& painter, const QRectF& area, double top, double bottom) {
        const QRectF& b = schematic.bounds;
        paintSchematic(painter, area, schematic, QRectF(b.left(), b.top() + top / scale, b.width(), (bottom - top) / scale));
    });
    const double legendScale = point * 8 / kSchematicFontSize;  // its texts of 8 pt
    const Schematic legend = schematicLegend(layout.width() / legendScale, false, schematic.wetSteam, schematic.sources);
    layout.picture(legend.bounds.height() * legendScale, [legend](QPainter& painter, const QRectF& area) {
        paintSchematic(painter, QRectF(area.topLeft(), legend.bounds.size() * (area.height() / legend.bounds.height())), legend);
    });
}

}  // namespace

int printReport(const PipelineDocument& document, const PipelineResult& result, const QString& date,
                QPagedPaintDevice& device, std::optional<std::size_t> profileTo)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(25, 10, 15, 15), QPageLayout::Millimeter);  // binding on the left

    PagedLayout layout(device, device.logicalDpiY() * 12 / 25.4);
    const QFont heading = face(12, true), body = face(10.5), table = face(8);
    int section = 0;
    const auto next = [&](const QString& title) {
        static const QString kNumerals = QStringLiteral("一二三四五六七八九十");
        layout.heading(kNumerals.mid(section++, 1) + QStringLiteral("、") + title, heading);
    };
    const QString title = titleOf(result);
    titleBlock(layout, document, title, date);
    next(QStringLiteral("计算方法"));
    const auto [methodText, formula] = method(result.network, document.temperatureLaw == TemperatureLaw::heatLoss, body);
    layout.paragraph(methodText, body, Qt::AlignLeft, formula);
    if (result.solve) layout.paragraph(solveMethod(), body);
    const std::optional<WetSteamSection> wet = wetSteamSection(document, result);
    if (wet) layout.paragraph(wet->method, body);
    next(QStringLiteral("起点蒸汽状态"));
    layout.lines(startState(document), body);
    next(QStringLiteral("管段参数"));
    std::vector<Column> inputs = columnsFrom(Column::label, Column::heatLoss);
    if (!result.network) {  // a series main names no nodes, and is not sized
        std::erase_if(inputs, [](Column c) { return c == Column::from || c == Column::to || c == Column::fixed; });
    }
    layout.table(tableOf(document, result, inputs, false), table);
    next(QStringLiteral("计算结果"));
    std::vector<Column> results = resultColumns(document);
    results.insert(results.begin(), Column::label);
    if (result.network) results.insert(results.begin() + 1, Column::flow);  // summed, or as typed
    layout.table(tableOf(document, result, results, true), table);
    const auto [warnings, notes] = remarks(document, result);
    layout.lines(QStringList{QStringLiteral("末端过热度裕量：%1 ℃").arg(qs(formatShortest(document.superheatMargin)))} + warnings,
                 body);
    // The notes after the warnings, quieter: many pipes below their band bury no warning.
    if (!notes.isEmpty()) layout.lines({qs(kNoteMark) + notes.join(QStringLiteral("；"))}, face(9), QColor(100, 100, 100));
    if (wet) {
        layout.paragraph(wet->comparisonNote, body);
        layout.table(wet->comparison, table);
        next(QStringLiteral("疏水点与凝结水"));
        layout.lines(wet->drainPoints, body);
    }
    if (const std::optional<InsulationSection> insulated = insulationSection(document, result)) {
        next(QStringLiteral("保温计算"));
        layout.paragraph(insulated->method, body);
        layout.table(insulated->constructions, table);
        layout.table(insulated->materials, table);
        layout.table(insulated->pipes, table);
        layout.lines(insulated->warnings, body);
        if (insulated->thickness) layout.table(*insulated->thickness, table);
        for (const QString& note : insulated->thicknessNotes) layout.paragraph(note, face(9));
    }
    const Schematic schematic = result.network ? makeSchematic(document, result) : Schematic{};  // painted with the pages
    if (result.network) {
        next(QStringLiteral("节点"));
        layout.table(nodeTable(document, result), table);
        layout.lines(sharedSupply(document, result), body);
        layout.lines(networkTotals(document, result), body);
    }
    if (const std::optional<CaseSection> cases = caseSection(document)) {
        next(QStringLiteral("工况对比"));
        layout.paragraph(cases->introduction, body);
        layout.table(cases->cases, table);
        layout.lines(cases->critical, body);
        if (!cases->consumers.rows.empty()) layout.table(cases->consumers, table);
        layout.table(cases->pipes, table);
        for (std::size_t k = 1; k < cases->results.size(); ++k) {
            const PipelineDocument one = documentForCase(document, k).document;
            const PipelineResult& r = cases->results[k];
            layout.lines({QStringLiteral("工况“%1”%2").arg(qs(caseName(document, k)),
                                                           r.startMessage.empty() ? QStringLiteral("的节点：") : QStringLiteral("：") + qs(r.startMessage))},
                         body);
            if (result.network && r.startMessage.empty()) {
                layout.table(nodeTable(one, r), table);
                layout.lines(networkTotals(one, r), body);
            }
        }
    }
    if (result.network) {
        next(QStringLiteral("管网图"));
        schematicPages(layout, schematic);
    }
    // To the node the engineer picked, else to the critical consumer.
    const bool picked = result.network && profileTo && *profileTo < result.nodes.size();
    const ProfileData profile = picked ? profileData(document, result, pathTo(result, *profileTo)) : profileData(document, result);
    next(picked ? QStringLiteral("压力与温度沿程分布（至节点%1）").arg(qs(result.nodes[*profileTo].name))
         : result.network && result.critical
             ? QStringLiteral("压力与温度沿程分布（至最不利用户%1）").arg(qs(result.nodes[*result.critical].name))
             : QStringLiteral("压力与温度沿程分布"));
    layout.picture(layout.width() * 0.7, [&profile](QPainter& painter, const QRectF& area) {
        paintProfile(painter, area, profile, ProfileDetail::everyPoint);
    });
    next(QStringLiteral("过热蒸汽允许流速"));
    layout.lines(velocityBands(), body);

    const int pages = layout.pageCount();
    const QString header = title + QStringLiteral("　") + qs(document.project);
    layout.paint(device, [pages, &header](QPainter& painter, const QRectF& area, int page) {
        runningHeader(painter, area, page, pages, header);
    });
    return pages;
}

QString reportDate() { return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")); }

bool writeReportPdf(const PipelineDocument& document, const PipelineResult& result, const QString& path,
                    std::optional<std::size_t> profileTo)
{
    return writeAtomically(path, [&](QIODevice& device) {
        QPdfWriter pdf(&device);
        pdf.setTitle(titleOf(result));
        pdf.setCreator(QString::fromLatin1(kProgram));
        pdf.setResolution(300);
        printReport(document, result, reportDate(), pdf, profileTo);
        return true;
    });
}

}  // namespace dorvent
