#include "pipeline/calcreport.h"

#include <QDate>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include "mainwin/songfont.h"
#include "mainwin/steaminput.h"
#include "numtext/formatnumber.h"
#include "pipeline/filewrite.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/profilechart.h"
#include "pipes/proposal.h"

namespace dorvent {
namespace {

constexpr char kProgram[] = "Dorvent 1.0";
const QUrl kChartUrl(QStringLiteral("dorvent:profile.png"));

QString html(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }
QString html(std::string_view text) { return html(std::string(text)); }

/// A table of the given columns: the header row, then one row per segment, then the totals.
QString table(const PipelineDocument& document, const PipelineResult& result, const std::vector<Column>& columns,
              bool totals)
{
    QString text = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><thead><tr>");
    for (const Column c : columns) text += QStringLiteral("<th>%1</th>").arg(html(columnTitle(c)));
    text += QStringLiteral("</tr></thead>");
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        const SegmentRun* run = i < result.segments.size() ? &result.segments[i] : nullptr;
        text += QStringLiteral("<tr>");
        for (const Column c : columns) {
            text += QStringLiteral("<td>%1</td>").arg(html(cellText(document.segments[i], run, c)));
        }
        text += QStringLiteral("</tr>");
    }
    if (totals) {
        text += QStringLiteral("<tr>");
        for (const Column c : columns) text += QStringLiteral("<td><b>%1</b></td>").arg(html(totalsText(result, c)));
        text += QStringLiteral("</tr>");
    }
    return text + QStringLiteral("</table>");
}

std::vector<Column> columnsFrom(Column first, Column last)
{
    std::vector<Column> columns;
    for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c) columns.push_back(static_cast<Column>(c));
    return columns;
}

/// The start state as the main window's state report gives it, one line per line.
QString startState(const PipelineDocument& d)
{
    if (!d.startPressure || !d.startTemperature) return QStringLiteral("未给出起点状态");
    SteamState state;
    const std::string report =
        evaluateSteamParameters({*d.startPressure, d.pressureUnit, *d.startTemperature, d.temperatureUnit}, state);
    return QStringLiteral("起点压力 %1 %2，起点温度 %3 %4<br>")
               .arg(html(formatShortest(*d.startPressure)), html(d.pressureUnit), html(formatShortest(*d.startTemperature)),
                    html(d.temperatureUnit)) +
           html(report).replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
}

QString velocityBands()
{
    QString text;
    for (const auto& [name, dn] : {std::pair{"DN&gt;200", 250.0f}, {"100≤DN≤200", 150.0f}, {"DN&lt;100", 50.0f}}) {
        const VelocityBand band = velocityBand(dn);
        text += QStringLiteral("%1：%2～%3 m/s<br>")
                    .arg(QString::fromUtf8(name), html(formatShortest(band.lowest)), html(formatShortest(band.highest)));
    }
    return text;
}

QString method()
{
    return QStringLiteral(
        "水和水蒸气的性质按国际水和水蒸气性质协会的工业公式 IAPWS-IF97（1997 年版）计算，过热蒸汽用区域 2，"
        "超高温蒸汽用区域 5。管道的比摩阻按粗糙管（阻力平方区）公式 1/√λ = 1.14 + 2 lg(d/K)，绝对粗糙度 "
        "K = 0.2 mm，由达西公式求得；局部阻力按管长的局部阻力系数计入。管段按每段 100 m 分段计算，每段对温度降"
        "和压力降迭代求解，前一段的末端状态即后一段的起点状态。保温管道的热损失为单位热损失乘以蒸汽平均温度与"
        "环境温度之差和管长，局部热损失按局部热损失系数计入；单位热损失取自《热能工程设计手册》表 4-37 或由设计者"
        "给出。各管段依次相连，后一管段的起点状态为前一管段的末端状态。");
}

}  // namespace

QImage reportChart(const PipelineDocument& document, const PipelineResult& result)
{
    return profileImage(profileData(document, result), {1200, 675});
}

std::unique_ptr<QTextDocument> makeReport(const PipelineDocument& document, const PipelineResult& result,
                                          const QString& date, const QImage& chart)
{
    auto report = std::make_unique<QTextDocument>();
    report->setDefaultFont(songFont(8));

    QString flagged;
    for (std::size_t i = 0; i < result.segments.size() && i < document.segments.size(); ++i) {
        const std::string remark = cellText(document.segments[i], &result.segments[i], Column::remark);
        if (!remark.empty()) {
            flagged += QStringLiteral("管段 %1 %2：%3<br>").arg(i + 1).arg(html(document.segments[i].label), html(remark));
        }
    }
    QString text = QStringLiteral("<h2 align=\"center\">过热蒸汽管线计算书</h2>");
    text += QStringLiteral("<p>项目：%1<br>设计人：%2<br>日期：%3<br>计算程序：%4</p>")
                .arg(html(document.project), html(document.designer), date.toHtmlEscaped(), QString::fromLatin1(kProgram));
    text += QStringLiteral("<h3>一、计算方法</h3><p>%1</p>").arg(method());
    text += QStringLiteral("<h3>二、起点蒸汽状态</h3><p>%1</p>").arg(startState(document));
    text += QStringLiteral("<h3>三、管段参数</h3>") + table(document, result, columnsFrom(Column::label, Column::heatLoss), false);
    std::vector<Column> results = columnsFrom(kFirstResultColumn, Column::superheat);
    results.insert(results.begin(), Column::label);
    text += QStringLiteral("<h3>四、计算结果</h3>") + table(document, result, results, true);
    text += QStringLiteral("<p>末端过热度裕量：%1 ℃<br>%2</p>")
                .arg(html(formatShortest(document.superheatMargin)),
                     flagged.isEmpty() ? QStringLiteral("各管段均无超限。") : flagged);
    text += QStringLiteral("<h3>五、压力与温度沿程分布</h3><p><img src=\"%1\" width=\"640\"></p>").arg(kChartUrl.toString());
    text += QStringLiteral("<h3>六、过热蒸汽允许流速</h3><p>%1</p>").arg(velocityBands());
    report->setHtml(text);  // its <thead> rows repeat on every page; it clears the resources: the chart comes after
    report->addResource(QTextDocument::ImageResource, kChartUrl, chart);
    return report;
}

void printReport(const QTextDocument& report, QPagedPaintDevice& device)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    report.print(&device);  // paginates a copy, with the page number at the foot of every page
}

bool writeReportPdf(const PipelineDocument& document, const PipelineResult& result, const QImage& chart,
                    const QString& path)
{
    const std::unique_ptr<QTextDocument> report =
        makeReport(document, result, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), chart);
    return writeAtomically(path, [&report](QIODevice& device) {
        QPdfWriter pdf(&device);
        pdf.setTitle(QStringLiteral("过热蒸汽管线计算书"));
        pdf.setCreator(QString::fromLatin1(kProgram));
        pdf.setResolution(300);
        printReport(*report, pdf);
        return true;
    });
}

}  // namespace dorvent
