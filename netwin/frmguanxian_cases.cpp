// The pipeline window's load cases: the page of cases (工况), the list of the case the tables show,
// and the comparison of every case (工况对比).

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "mainwin/messageservice.h"
#include "netwin/casemodel.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/pipelinetableview.h"
#include "pipeline/casecomparison.h"
#include "pipeline/loadcases.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QTableView* comparisonView(QWidget* parent, const char* name, ComparisonModel* model)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    return view;
}

}  // namespace

QWidget* frmguanxian::createCaseWidgets(QWidget* parent)
{
    auto* page = new QWidget(parent);
    cases_ = new CaseModel(model_, this);
    tblgongkuang = new PipelineTableView(cases_, page);
    tblgongkuang->setObjectName(QStringLiteral("tblgongkuang"));
    cmdtianjiagongkuang = button(page, "cmdtianjiagongkuang", QStringLiteral("添加工况"));
    cmdfuzhigongkuang = button(page, "cmdfuzhigongkuang", QStringLiteral("复制工况"));
    cmdshanchugongkuang = button(page, "cmdshanchugongkuang", QStringLiteral("删除工况"));
    cmdshangyigongkuang = button(page, "cmdshangyigongkuang", QStringLiteral("上移"));
    cmdxiayigongkuang = button(page, "cmdxiayigongkuang", QStringLiteral("下移"));
    lblgongkuang = new QLabel(page);
    lblgongkuang->setObjectName(QStringLiteral("lblgongkuang"));
    lblgongkuang->setWordWrap(true);
    auto* hint = new QLabel(QStringLiteral("设计工况的汽源即表头的起点压力和温度。其他工况空白的起点参数与设计工况相同；"
                                           "各用户的用汽量为设计用汽量 × 负荷系数（流量已输入的管段亦然），"
                                           "也可在节点表中该工况的用汽量列逐户输入。"),
                            page);
    hint->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdtianjiagongkuang, cmdfuzhigongkuang, cmdshanchugongkuang, cmdshangyigongkuang, cmdxiayigongkuang}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(buttons);
    layout->addWidget(tblgongkuang, 1);
    layout->addWidget(lblgongkuang);
    layout->addWidget(hint);
    return page;
}

QWidget* frmguanxian::createComparisonWidgets(QWidget* parent)
{
    auto* page = new QWidget(parent);
    comparisonPage_ = page;
    consumerComparison_ = new ComparisonModel(this);
    pipeComparison_ = new ComparisonModel(this);
    lblduibi = new QLabel(page);
    lblduibi->setObjectName(QStringLiteral("lblduibi"));
    lblduibi->setWordWrap(true);
    lblduibi->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tblduibiyonghu = comparisonView(page, "tblduibiyonghu", consumerComparison_);
    tblduibiguanduan = comparisonView(page, "tblduibiguanduan", pipeComparison_);
    auto* split = new QSplitter(Qt::Vertical, page);
    split->addWidget(tblduibiyonghu);
    split->addWidget(tblduibiguanduan);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblduibi);
    layout->addWidget(split, 1);
    return page;
}

void frmguanxian::createCaseConnections()
{
    connect(cases_, &CaseModel::refused, lblgongkuang, &QLabel::setText);
    connect(cbogongkuang, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { model_->showCase(static_cast<std::size_t>(std::max(index, 0))); });
    connect(cmdtianjiagongkuang, &QPushButton::clicked, this, [this] { addCase(false); });
    connect(cmdfuzhigongkuang, &QPushButton::clicked, this, [this] { addCase(true); });
    connect(cmdshanchugongkuang, &QPushButton::clicked, this, &frmguanxian::deleteCases);
    connect(cmdshangyigongkuang, &QPushButton::clicked, this, [this] { moveCase(-1); });
    connect(cmdxiayigongkuang, &QPushButton::clicked, this, [this] { moveCase(1); });
    connect(tabtu, &QTabWidget::currentChanged, this, &frmguanxian::showComparison);
    connect(tblgongkuang->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmguanxian::enableCaseButtons);
}

/// The buttons that act on the current case, where they can: the design case stays first and stays.
void frmguanxian::enableCaseButtons()
{
    const std::optional<std::size_t> k = selectedCase();
    const std::size_t count = caseCount(model_->document());
    cmdfuzhigongkuang->setEnabled(true);
    cmdshanchugongkuang->setEnabled(!k || *k > 0);
    cmdshangyigongkuang->setEnabled(k && *k > 1);
    cmdxiayigongkuang->setEnabled(k && *k > 0 && *k + 1 < count);
}

void frmguanxian::showCases()
{
    const PipelineDocument& d = model_->document();
    QStringList names;
    for (std::size_t k = 0; k < caseCount(d); ++k) names << qs(caseName(d, k));
    QStringList shown;
    for (int i = 0; i < cbogongkuang->count(); ++i) shown << cbogongkuang->itemText(i);
    const QSignalBlocker quiet(cbogongkuang);
    if (shown != names) {
        cbogongkuang->clear();
        cbogongkuang->addItems(names);
    }
    cbogongkuang->setCurrentIndex(static_cast<int>(model_->shownCase()));
    cbogongkuang->setEnabled(names.size() > 1);
    enableCaseButtons();
    showComparison();
}

void frmguanxian::showComparison()
{
    // Only while the page is seen: a thousand pipes in three cases are many rows to lay out.
    if (tabtu->currentWidget() != comparisonPage_) return;
    const PipelineDocument& d = model_->document();
    const std::vector<PipelineResult>& results = model_->results();
    consumerComparison_->setTable(consumerComparison(d, results));
    pipeComparison_->setTable(pipeComparison(d, results));
    QStringList lines;
    for (const std::string& line : criticalLines(d, results)) lines << qs(line);
    lblduibi->setText(QStringLiteral("最不利用户——") + lines.join(QStringLiteral("\n　　　　　　")) +
                      (caseCount(d) == 1 ? QStringLiteral("。只有一个工况：在“工况”页添加工况后，此处逐户对比各工况。") : QString()));
    for (QTableView* view : {tblduibiyonghu, tblduibiguanduan}) view->resizeColumnsToContents();
}

std::optional<std::size_t> frmguanxian::selectedCase() const
{
    const QModelIndex current = tblgongkuang->currentIndex();
    return current.isValid() ? std::optional(static_cast<std::size_t>(current.row())) : std::nullopt;
}

void frmguanxian::addCase(bool copy)
{
    PipelineDocument d = model_->document();
    if (caseCount(d) >= kMostCases) {
        lblgongkuang->setText(QStringLiteral("工况最多 %1 个").arg(kMostCases));
        return;
    }
    const std::size_t from = selectedCase().value_or(caseCount(d) - 1);
    LoadCase added;
    if (copy && from > 0) added = d.cases[from - 1];
    added.name = copy ? newCaseName(d, caseName(d, from)) : newCaseName(d);
    // A copy right after the case it copies; a new case at the end.
    const std::size_t at = copy ? from + 1 : caseCount(d);
    d.cases.insert(d.cases.begin() + static_cast<std::ptrdiff_t>(at - 1), std::move(added));
    model_->changeDocument(d, copy ? QStringLiteral("复制工况") : QStringLiteral("添加工况"));
    // Its name ready to be typed over.
    tblgongkuang->setFocus();
    tblgongkuang->setCurrentIndex(cases_->index(static_cast<int>(at), 0));
    lblgongkuang->clear();
}

void frmguanxian::deleteCases()
{
    const std::optional<std::size_t> k = selectedCase();
    if (!k) return;
    if (*k == 0) {
        lblgongkuang->setText(QStringLiteral("设计工况不能删除：其他工况的负荷系数以它的用汽量为准"));
        return;
    }
    PipelineDocument d = model_->document();
    d.cases.erase(d.cases.begin() + static_cast<std::ptrdiff_t>(*k - 1));
    model_->changeDocument(d, QStringLiteral("删除工况"));
    lblgongkuang->clear();
}

void frmguanxian::moveCase(int step)
{
    const std::optional<std::size_t> k = selectedCase();
    PipelineDocument d = model_->document();
    // The design case stays first: the others move among themselves.
    if (!k || *k == 0) return;
    const auto to = static_cast<std::ptrdiff_t>(*k) + step;
    if (to < 1 || to >= static_cast<std::ptrdiff_t>(caseCount(d))) return;
    std::swap(d.cases[*k - 1], d.cases[static_cast<std::size_t>(to) - 1]);
    model_->changeDocument(d, step < 0 ? QStringLiteral("上移工况") : QStringLiteral("下移工况"));
    tblgongkuang->setCurrentIndex(cases_->index(static_cast<int>(to), tblgongkuang->currentIndex().column()));
}

}  // namespace dorvent
