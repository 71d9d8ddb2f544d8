#include "netwin/thicknessdialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "numtext/formatnumber.h"
#include "pipeline/constructiontable.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
QString fixed(double value, int decimals) { return qs(formatFixed(value, decimals)); }
QString thicknessText(const std::optional<double>& value) { return value ? qs(formatShortest(*value)) : QStringLiteral("—"); }

// The columns of the pipes' table.
enum PipeColumn { pipeName, construction, medium, ambient, current, least, economic, closedForm, chosenThickness, remark };
// The columns of the candidates' table.
enum TrialColumn { thickness, perMetre, surface, perSquareMetre, within, heatCost, capitalCost, yearlyCost, marks };

QTableWidgetItem* item(const QString& text, bool number = false)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cell->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    return cell;
}

QTableWidget* makeTable(QWidget* parent, const char* name, const QStringList& headers)
{
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    return table;
}

/// What a pipe's design says besides its numbers: why a thickness is missing, where the formula
/// and the search differ.
QString remarkOf(const ThicknessDesign& d)
{
    if (!d.problem.empty()) return qs(d.problem);
    QStringList parts;
    if (!d.least) parts << QStringLiteral("最小厚度：") + qs(d.leastProblem);
    if (d.least && !d.leastCase.empty()) parts << QStringLiteral("最小厚度由工况“%1”决定").arg(qs(d.leastCase));
    if (!d.limits.allowedLoss) parts << QStringLiteral("起点温度超出最大允许热损失表的范围，最小厚度只按表面温度");
    if (!d.economic) parts << QStringLiteral("经济厚度：") + qs(d.economicProblem);
    else if (!d.closedForm) parts << QStringLiteral("公式：") + qs(d.closedFormProblem);
    else if (d.closedForm->rounded != *d.economic) parts << QStringLiteral("公式与逐档搜索的经济厚度不同，两者都列出");
    if (d.economic && d.least && *d.least > *d.economic) parts << QStringLiteral("经济厚度不满足限值，采用最小厚度");
    return parts.join(QStringLiteral("；"));
}

}  // namespace

ThicknessDialog::ThicknessDialog(const PipelineDocument& document, std::vector<ThicknessDesign> designs, QWidget* parent)
    : QDialog(parent), document_(document), designs_(std::move(designs))
{
    setObjectName(QStringLiteral("dlghoudu"));
    setWindowTitle(QStringLiteral("保温厚度计算"));
    lblhoudu = new QLabel(this);
    lblhoudu->setObjectName(QStringLiteral("lblhoudu"));
    lblhoudu->setWordWrap(true);
    lblhoudu->setTextFormat(Qt::PlainText);
    QString about = QStringLiteral("按各管段起点（最热处）的蒸汽温度和管段的环境温度计算，最外层厚度以 10 mm 为一档，至 500 mm；"
                                   "最小厚度同时满足表面温度限值和最大允许热损失，经济厚度使年热损失费用与年投资费用之和最小。");
    if (const std::string missing = missingPrices(document.insulation); !missing.empty()) {
        about += QStringLiteral("\n未给出经济厚度所需的%1（在“保温做法”页填写），只给出最小厚度。").arg(qs(missing));
    }
    lblhoudu->setText(about);
    tblhoudu = makeTable(this, "tblhoudu",
                         {QStringLiteral("管段"), QStringLiteral("保温做法"), QStringLiteral("起点温度(℃)"), QStringLiteral("环境温度(℃)"),
                          QStringLiteral("现厚度(mm)"), QStringLiteral("最小厚度(mm)"), QStringLiteral("经济厚度(mm)"),
                          QStringLiteral("公式经济厚度(mm)"), QStringLiteral("采用厚度(mm)"), QStringLiteral("说明")});
    lblhouxuan = new QLabel(this);
    lblhouxuan->setObjectName(QStringLiteral("lblhouxuan"));
    lblhouxuan->setWordWrap(true);
    lblhouxuan->setTextFormat(Qt::PlainText);
    tblhouxuan = makeTable(this, "tblhouxuan",
                           {QStringLiteral("厚度(mm)"), QStringLiteral("q(W/m)"), QStringLiteral("Ts(℃)"), QStringLiteral("Q(W/m²)"),
                            QStringLiteral("满足限值"), QStringLiteral("热损失费用\n(元/(m·a))"), QStringLiteral("投资费用\n(元/(m·a))"),
                            QStringLiteral("年总费用\n(元/(m·a))"), QStringLiteral("标记")});
    cmdcaiyong = new QPushButton(QStringLiteral("采用所选厚度"), this);
    cmdcaiyong->setObjectName(QStringLiteral("cmdcaiyong"));
    cmdcaiyong->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    apply_ = buttons->addButton(QStringLiteral("应用"), QDialogButtonBox::AcceptRole);
    apply_->setObjectName(QStringLiteral("cmdyingyong"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdquxiao"));

    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    auto* pick = new QHBoxLayout;
    pick->addWidget(lblhouxuan, 1);
    pick->addWidget(cmdcaiyong);
    lowerLayout->addLayout(pick);
    lowerLayout->addWidget(tblhouxuan, 1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(tblhoudu);
    split->addWidget(lower);
    split->setSizes({160, 340});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblhoudu);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);

    tblhoudu->setRowCount(static_cast<int>(designs_.size()));
    for (int row = 0; row < tblhoudu->rowCount(); ++row) showPipe(row);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tblhoudu, &QTableWidget::currentCellChanged, this, [this](int row) { showTrials(row); });
    connect(cmdcaiyong, &QPushButton::clicked, this, &ThicknessDialog::choose);
    connect(tblhouxuan, &QTableWidget::cellDoubleClicked, this, &ThicknessDialog::choose);
    tblhoudu->setCurrentCell(0, 0);
    showTrials(tblhoudu->currentRow());
    resize(1080, 640);
}

std::vector<std::pair<std::size_t, std::optional<double>>> ThicknessDialog::chosen() const
{
    std::vector<std::pair<std::size_t, std::optional<double>>> chosen;
    for (const ThicknessDesign& d : designs_) chosen.emplace_back(d.pipe, d.problem.empty() ? d.chosen : std::nullopt);
    return chosen;
}

void ThicknessDialog::showPipe(int row)
{
    const ThicknessDesign& d = designs_[static_cast<std::size_t>(row)];
    const bool known = d.problem.empty();
    tblhoudu->setItem(row, pipeName, item(qs(pipeList(document_, {d.pipe}))));
    tblhoudu->setItem(row, construction, item(qs(d.construction)));
    tblhoudu->setItem(row, medium, item(known ? fixed(d.medium, 3) : QString(), true));
    tblhoudu->setItem(row, ambient, item(known ? qs(formatShortest(d.ambient)) : QString(), true));
    tblhoudu->setItem(row, current, item(known ? thicknessText(d.current) : QString(), true));
    tblhoudu->setItem(row, least, item(known ? thicknessText(d.least) : QString(), true));
    tblhoudu->setItem(row, economic, item(known ? thicknessText(d.economic) : QString(), true));
    const QString formula = !d.closedForm ? QStringLiteral("—")
                                          : QStringLiteral("%1（%2）").arg(qs(formatShortest(d.closedForm->rounded)), fixed(d.closedForm->exact, 1));
    tblhoudu->setItem(row, closedForm, item(known ? formula : QString(), true));
    QTableWidgetItem* chosen = item(known ? thicknessText(d.chosen) : QString(), true);
    QFont bold = font();
    bold.setBold(true);
    chosen->setFont(bold);
    tblhoudu->setItem(row, chosenThickness, chosen);
    QTableWidgetItem* says = item(remarkOf(d));
    says->setToolTip(says->text());
    tblhoudu->setItem(row, remark, says);
    const bool anew = std::any_of(designs_.begin(), designs_.end(),
                                  [](const ThicknessDesign& x) { return x.problem.empty() && x.chosen && x.chosen != x.current; });
    apply_->setEnabled(anew);
}

void ThicknessDialog::showTrials(int row)
{
    tblhouxuan->setRowCount(0);
    if (row < 0 || row >= static_cast<int>(designs_.size())) {
        lblhouxuan->clear();
        cmdcaiyong->setEnabled(false);
        return;
    }
    const ThicknessDesign& d = designs_[static_cast<std::size_t>(row)];
    cmdcaiyong->setEnabled(!d.trials.empty());
    if (!d.problem.empty()) {
        lblhouxuan->setText(QStringLiteral("管段 %1：%2").arg(qs(pipeList(document_, {d.pipe})), qs(d.problem)));
        return;
    }
    const QString allowed = d.limits.allowedLoss ? fixed(*d.limits.allowedLoss, 3) + QStringLiteral(" W/m²") : QStringLiteral("（表中没有）");
    lblhouxuan->setText(QStringLiteral("管段 %1 的候选厚度（改变%2厚度）：表面温度限值 %3 ℃，最大允许热损失 %4")
                            .arg(qs(pipeList(document_, {d.pipe})), d.twoLayers ? QStringLiteral("外层") : QStringLiteral("保温层"),
                                 qs(formatShortest(d.limits.surfaceTemperature)), allowed));
    tblhouxuan->setRowCount(static_cast<int>(d.trials.size()));
    QFont bold = font();
    bold.setBold(true);
    const auto cost = [](const std::optional<double>& value) { return value ? qs(formatFixed(*value, 2)) : QString(); };
    for (int r = 0; r < tblhouxuan->rowCount(); ++r) {
        const ThicknessTrial& t = d.trials[static_cast<std::size_t>(r)];
        QStringList marks;
        if (d.least == t.thickness) marks << QStringLiteral("最小厚度");
        if (d.economic == t.thickness) marks << QStringLiteral("经济厚度");
        if (d.closedForm && d.closedForm->rounded == t.thickness) marks << QStringLiteral("公式经济厚度");
        const bool isChosen = d.chosen == t.thickness;
        if (isChosen) marks << QStringLiteral("◀ 采用");
        const QString texts[] = {qs(formatShortest(t.thickness)), fixed(t.loss.perMetre, 3), fixed(t.loss.surfaceTemperature, 3),
                                 fixed(t.loss.perSquareMetre, 3), t.withinLimits ? QStringLiteral("是") : QStringLiteral("否"),
                                 cost(t.heatCost), cost(t.capitalCost), cost(t.yearlyCost), marks.join(QStringLiteral("、"))};
        for (int c = 0; c < static_cast<int>(std::size(texts)); ++c) {
            QTableWidgetItem* cell = item(texts[c], c != within && c != TrialColumn::marks);
            if (isChosen) cell->setFont(bold);
            tblhouxuan->setItem(r, c, cell);
        }
    }
    const auto at = std::find_if(d.trials.begin(), d.trials.end(), [&d](const ThicknessTrial& t) { return d.chosen == t.thickness; });
    if (at != d.trials.end()) {
        tblhouxuan->scrollToItem(tblhouxuan->item(static_cast<int>(at - d.trials.begin()), 0), QAbstractItemView::PositionAtCenter);
    }
}

/// The candidate selected becomes the thickness of the pipe shown.
void ThicknessDialog::choose()
{
    const int row = tblhoudu->currentRow(), trial = tblhouxuan->currentRow();
    if (row < 0 || trial < 0) return;
    ThicknessDesign& d = designs_[static_cast<std::size_t>(row)];
    if (trial >= static_cast<int>(d.trials.size())) return;
    d.chosen = d.trials[static_cast<std::size_t>(trial)].thickness;
    showPipe(row);
    showTrials(row);
    tblhouxuan->setCurrentCell(trial, 0);
}

}  // namespace dorvent
