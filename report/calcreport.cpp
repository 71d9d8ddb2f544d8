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
#include "report/pagedlayout.h"
#include "pipeline/pipelinetable.h"
#include "report/profilechart.h"
#include "pipes/proposal.h"

namespace dorvent {
namespace {

constexpr char kProgram[] = "Dorvent 1.0";
constexpr char kTitle[] = "过热蒸汽管线计算书";

QString qs(const std::string& text) { return QString::fromStdString(text); }
QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont face(double points, bool bold = false)
{
    QFont font = songFont(points);
    font.setBold(bold);
    return font;
}

/// No line breaks inside the formula, nor between a number and its unit.
QString method()
{
    return QString::fromUtf8(
        "水和水蒸气的性质按国际水和水蒸气性质协会的工业公式 IAPWS\u2011IF97（1997\u00A0年版）计算，过热蒸汽用区域 2，"
        "超高温蒸汽用区域 5。管道的比摩阻按粗糙管（阻力平方区）公式 1/\u2060√λ\u00A0=\u00A01.14\u00A0+\u00A02\u00A0lg(d/\u2060K)，绝对粗糙度 "
        "K\u00A0=\u00A00.2\u00A0mm，由达西公式求得；局部阻力按管长的局部阻力系数计入。管段按每段 100\u00A0m 分段计算，每段对温度降"
        "和压力降迭代求解，前一段的末端状态即后一段的起点状态。保温管道的热损失为单位热损失乘以蒸汽平均温度与"
        "环境温度之差和管长，局部热损失按局部热损失系数计入；单位热损失取自《热能工程设计手册》表 4-37 或由设计者"
        "给出。各管段依次相连，后一管段的起点状态为前一管段的末端状态。");
}

/// The start state as the main window's state report gives it, one line per line.
QStringList startState(const PipelineDocument& d)
{
    if (!d.startPressure || !d.startTemperature) return {QStringLiteral("未给出起点状态")};
    SteamState state;
    const std::string report =
        evaluateSteamParameters({*d.startPressure, d.pressureUnit, *d.startTemperature, d.temperatureUnit}, state);
    return QStringList{QStringLiteral("起点压力 %1 %2，起点温度 %3 %4")
                           .arg(qs(formatShortest(*d.startPressure)), qs(d.pressureUnit),
                                qs(formatShortest(*d.startTemperature)), qs(d.temperatureUnit))} +
           qs(report).split(QStringLiteral("\r\n"));
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

std::vector<Column> columnsFrom(Column first, Column last)
{
    std::vector<Column> columns;
    for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c) columns.push_back(static_cast<Column>(c));
    return columns;
}

/// One line per segment that asks for attention; segments not computed for the same reason, one
/// after the other, share a line.
QStringList remarks(const PipelineDocument& document, const PipelineResult& result)
{
    QStringList lines;
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
        const std::string remark = cellText(document.segments[i], &run, Column::remark);
        if (!remark.empty()) lines << name + QStringLiteral("：") + qs(remark);
    }
    return lines.isEmpty() ? QStringList{QStringLiteral("各管段均无超限。")} : lines;
}

void titleBlock(PagedLayout& layout, const PipelineDocument& document, const QString& date)
{
    layout.space(layout.millimetres(12));
    layout.paragraph(QString::fromUtf8(kTitle), face(20, true), Qt::AlignHCenter);
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

/// The running header: the project on the left, the page on the right, a rule below.
void runningHeader(QPainter& painter, const QRectF& area, int page, int pages, const QString& project)
{
    painter.setFont(face(9));
    painter.setPen(Qt::black);
    const QRectF line(area.left(), area.top(), area.width(), area.height() * 0.6);
    const QString number = QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pages);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double room = area.width() - metrics.horizontalAdvance(number) - metrics.averageCharWidth() * 4;
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(QString::fromUtf8(kTitle) + QStringLiteral("　") + project, Qt::ElideRight, room));
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, number);
    painter.drawLine(QPointF(area.left(), line.bottom()), QPointF(area.right(), line.bottom()));
}

}  // namespace

int printReport(const PipelineDocument& document, const PipelineResult& result, const QString& date,
                QPagedPaintDevice& device)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(25, 10, 15, 15), QPageLayout::Millimeter);  // binding on the left

    PagedLayout layout(device, device.logicalDpiY() * 12 / 25.4);
    const QFont heading = face(12, true), body = face(10.5), table = face(8);
    titleBlock(layout, document, date);
    layout.heading(QStringLiteral("一、计算方法"), heading);
    layout.paragraph(method(), body);
    layout.heading(QStringLiteral("二、起点蒸汽状态"), heading);
    layout.lines(startState(document), body);
    layout.heading(QStringLiteral("三、管段参数"), heading);
    layout.table(tableOf(document, result, columnsFrom(Column::label, Column::heatLoss), false), table);
    layout.heading(QStringLiteral("四、计算结果"), heading);
    std::vector<Column> results = columnsFrom(kFirstResultColumn, Column::superheat);
    results.insert(results.begin(), Column::label);
    layout.table(tableOf(document, result, results, true), table);
    layout.lines(QStringList{QStringLiteral("末端过热度裕量：%1 ℃").arg(qs(formatShortest(document.superheatMargin)))} +
                     remarks(document, result),
                 body);
    layout.heading(QStringLiteral("五、压力与温度沿程分布"), heading);
    const ProfileData profile = profileData(document, result);
    layout.picture(layout.width() * 0.7, [&profile](QPainter& painter, const QRectF& area) {
        paintProfile(painter, area, profile, ProfileDetail::everyPoint);
    });
    layout.heading(QStringLiteral("六、过热蒸汽允许流速"), heading);
    layout.lines(velocityBands(), body);

    const int pages = layout.pageCount();
    const QString project = qs(document.project);
    layout.paint(device, [pages, &project](QPainter& painter, const QRectF& area, int page) {
        runningHeader(painter, area, page, pages, project);
    });
    return pages;
}

QString reportDate() { return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")); }

bool writeReportPdf(const PipelineDocument& document, const PipelineResult& result, const QString& path)
{
    return writeAtomically(path, [&](QIODevice& device) {
        QPdfWriter pdf(&device);
        pdf.setTitle(QString::fromUtf8(kTitle));
        pdf.setCreator(QString::fromLatin1(kProgram));
        pdf.setResolution(300);
        printReport(document, result, reportDate(), pdf);
        return true;
    });
}

}  // namespace dorvent
