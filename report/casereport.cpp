#include "report/casereport.h"

#include "numtext/formatnumber.h"
#include "pipeline/casecomparison.h"
#include "pipeline/casetable.h"
#include "pipeline/loadcases.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

/// A comparison as a page table: the titles on two lines (name, unit), the worst cells bold.
PageTable pageTable(const ComparisonTable& comparison)
{
    PageTable table;
    for (std::size_t c = 0; c < comparison.header.size(); ++c) {
        const QString title = qs(comparison.header[c]);
        const qsizetype unit = title.indexOf('(');
        const bool text = c < 2 || c + 1 == comparison.header.size();
        table.columns.push_back({unit > 0 ? QStringList{title.left(unit), title.mid(unit + 1).chopped(1)} : QStringList{title}, !text});
    }
    for (const auto& row : comparison.rows) {
        QStringList cells;
        for (const std::string& cell : row) cells << qs(cell);
        table.rows.push_back(cells);
    }
    table.boldCells = comparison.worst;
    return table;
}

}  // namespace

std::optional<CaseSection> caseSection(const PipelineDocument& document)
{
    if (document.cases.empty()) return std::nullopt;
    CaseSection section;
    section.results = calculateCases(document);
    section.introduction =
        QStringLiteral("本管网按以下 %1 个工况逐一计算，各工况管道相同。设计工况的汽源为第二节的起点状态，"
                       "前面各节的结果均为设计工况的结果；其他工况空白的起点参数与设计工况相同，各用户的用汽量"
                       "为设计用汽量乘以负荷系数（输入流量的管段亦然），逐户给出的除外。下面两表逐户、逐段列出"
                       "各工况的结果，每一用户或管段中最差的工况以粗体标出：压力、温度、过热度、干度和裕量取最低者，"
                       "流速和压降取最高者。")
            .arg(caseCount(document));
    for (int c = 0; c < kCaseColumnCount; ++c) {
        const QString title = qs(caseColumnTitle(document, static_cast<CaseColumn>(c)));
        const qsizetype unit = title.indexOf('(');
        section.cases.columns.push_back(
            {unit > 0 ? QStringList{title.left(unit), title.mid(unit + 1).chopped(1)} : QStringList{title}, c != 0});
    }
    section.cases.columns.push_back({{QStringLiteral("逐户用汽量"), QStringLiteral("户数")}, true});
    for (std::size_t k = 0; k < caseCount(document); ++k) {
        QStringList row;
        for (int c = 0; c < kCaseColumnCount; ++c) {
            const auto column = static_cast<CaseColumn>(c);
            const std::string typed = caseCellText(document, k, column);
            // An empty source is the design case's, said as such on paper.
            row << (typed.empty() && k > 0 && column != CaseColumn::factor ? QStringLiteral("同设计工况") : qs(typed));
        }
        if (k > 0 && row.back().isEmpty()) row.back() = QStringLiteral("1");
        const std::size_t own = k == 0 ? 0 : document.cases[k - 1].demands.size() + document.cases[k - 1].demandTexts.size();
        row << (k == 0 ? QString() : QString::number(own));
        section.cases.rows.push_back(row);
    }
    for (const std::string& line : criticalLines(document, section.results)) section.critical << QStringLiteral("最不利用户——") + qs(line);
    section.consumers = pageTable(consumerComparison(document, section.results));
    section.pipes = pageTable(pipeComparison(document, section.results));
    return section;
}

}  // namespace dorvent
