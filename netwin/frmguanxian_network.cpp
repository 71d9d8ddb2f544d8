// The pipeline window's network: the node table, the schematic, the profile along a chosen path,
// and the selection shared between the tables and the schematic.

#include <QAction>

#include <algorithm>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "mainwin/messageservice.h"
#include "netwin/frmguanxian.h"
#include "netwin/nodemodel.h"
#include "netwin/pipelinemodel.h"
#include "netwin/pipelinetableview.h"
#include "netwin/profileview.h"
#include "netwin/schematicview.h"
#include "numtext/formatnumber.h"
#include "pipeline/pipelinetable.h"
#include "report/filewrite.h"
#include "report/profilechart.h"
#include "report/schematic.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QWidget* frmguanxian::createNetworkWidgets(QWidget* client)
{
    nodes_ = new NodeModel(model_, this);
    tbljiedian = new PipelineTableView(nodes_, client);
    tbljiedian->setObjectName(QStringLiteral("tbljiedian"));
    // The dryness and the water arriving stand before the remark, as in the exported table.
    QHeaderView* header = tbljiedian->horizontalHeader();
    for (const NodeColumn c : {NodeColumn::dryness, NodeColumn::condensate, NodeColumn::feeders}) {
        header->moveSection(header->visualIndex(static_cast<int>(c)), header->visualIndex(static_cast<int>(NodeColumn::remark)));
    }
    // A source's kind picked from its list: none, at a fixed pressure, of a fixed flow.
    tbljiedian->pickFromList(static_cast<int>(NodeColumn::source), [] {
        QList<ListChoice> choices;
        for (const std::string_view name : kSourceKindNames) {
            const QString text = name.empty() ? QString() : qs(std::string(name));
            choices.append({name.empty() ? QStringLiteral("（非热源）") : text, text});
        }
        return choices;
    });
    // A source's kind and state after the needs, where the engineer marks the plants.
    for (const NodeColumn c : kSourceColumns) {
        header->moveSection(header->visualIndex(static_cast<int>(c)), header->visualIndex(static_cast<int>(NodeColumn::p)));
    }
    lblzongji = new QLabel(client);
    lblzongji->setObjectName(QStringLiteral("lblzongji"));
    lblzongji->setWordWrap(true);
    tuguanwang = new SchematicView(client);
    tuguanwang->setObjectName(QStringLiteral("tuguanwang"));
    chtpoumian = new ProfileView(client);
    chtpoumian->setObjectName(QStringLiteral("chtpoumian"));
    cbolujing = new QComboBox(client);
    cbolujing->setObjectName(QStringLiteral("cbolujing"));
    cbolujing->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* nodesPart = new QWidget(client);
    auto* nodesLayout = new QVBoxLayout(nodesPart);
    nodesLayout->setContentsMargins(0, 0, 0, 0);
    nodesLayout->addWidget(tbljiedian, 1);
    nodesLayout->addWidget(lblzongji);
    auto* profilePart = new QWidget(client);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("沿程至节点"), profilePart));
    pathRow->addWidget(cbolujing);
    pathRow->addStretch();
    auto* profileLayout = new QVBoxLayout(profilePart);
    profileLayout->setContentsMargins(0, 0, 0, 0);
    profileLayout->addLayout(pathRow);
    profileLayout->addWidget(chtpoumian, 1);
    tabtu = new QTabWidget(client);
    tabtu->setObjectName(QStringLiteral("tabtu"));
    tabtu->addTab(profilePart, QStringLiteral("沿程分布"));
    tabtu->addTab(tuguanwang, QStringLiteral("管网图"));
    tabtu->addTab(createInsulationWidgets(client), QStringLiteral("保温做法"));
    tabtu->addTab(createCaseWidgets(client), QStringLiteral("工况"));
    tabtu->addTab(createComparisonWidgets(client), QStringLiteral("工况对比"));
    auto* lower = new QSplitter(Qt::Horizontal, client);
    lower->addWidget(nodesPart);
    lower->addWidget(tabtu);
    lower->setSizes({420, 680});
    return lower;
}

void frmguanxian::createNetworkConnections()
{
    connect(mshiying, &QAction::triggered, tuguanwang, &SchematicView::fitToWindow);
    connect(mzidongxuanguan, &QAction::triggered, this, &frmguanxian::sizePipes);
    connect(mdaochuguanwang, &QAction::triggered, this, [this] {
        const QString path = exportPath(QStringLiteral("导出管网图"), QStringLiteral("PNG 图片 (*.png);;SVG 图形 (*.svg)"), "-管网图.png");
        if (!path.isEmpty()) exportNetwork(path);
    });
    connect(cbolujing, &QComboBox::activated, this, [this] {
        profileNode_ = cbolujing->currentData().toString();  // none: the critical consumer, wherever it goes
        showChart();
    });
    connect(tuguanwang, &SchematicView::pipeClicked, this, [this](std::size_t segment) {
        tblguanduan->setCurrentIndex(model_->index(static_cast<int>(segment), static_cast<int>(Column::label)));
    });
    connect(tuguanwang, &SchematicView::nodeClicked, this, [this](std::size_t node) {
        tbljiedian->setCurrentIndex(nodes_->index(static_cast<int>(node), 0));
    });
    connect(tblguanduan->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmguanxian::showSelection);
    connect(tbljiedian->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmguanxian::showSelection);
    // A document opened or begun afresh shows its schematic whole.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { fitSchematic_ = true; });
}

/// After every calculation: the schematic, the nodes the profile can lead to, the totals line.
void frmguanxian::showNetwork()
{
    const PipelineDocument& d = model_->document();
    const PipelineResult& r = model_->result();
    tuguanwang->setSchematic(makeSchematic(d, r), fitSchematic_);  // fitted once it is shown
    const bool wetColumns = d.temperatureLaw == TemperatureLaw::enthalpyBalance;
    for (const NodeColumn c : {NodeColumn::dryness, NodeColumn::condensate}) {
        if (tbljiedian->isColumnHidden(static_cast<int>(c)) == wetColumns) tbljiedian->setColumnHidden(static_cast<int>(c), !wetColumns);
    }
    const bool feeders = marksSources(d);
    if (tbljiedian->isColumnHidden(static_cast<int>(NodeColumn::feeders)) == feeders) {
        tbljiedian->setColumnHidden(static_cast<int>(NodeColumn::feeders), !feeders);
    }
    fitSchematic_ = false;

    // The profile leads to the node the user picked while it is there, else to the critical consumer.
    cbolujing->clear();
    cbolujing->setEnabled(r.network);
    mzidongxuanguan->setEnabled(r.network);
    mdaochujiedian->setEnabled(r.network);
    if (r.network) {
        cbolujing->addItem(QStringLiteral("最不利用户"), QString());
        for (std::size_t n = 0; n < r.nodes.size(); ++n) {
            const QString name = qs(r.nodes[n].name);
            cbolujing->addItem(r.critical == n ? name + QStringLiteral("（最不利用户）") : name, name);
        }
        const int picked = profileNode_.isEmpty() ? -1 : cbolujing->findData(profileNode_);
        if (picked < 0) profileNode_.clear();
        cbolujing->setCurrentIndex(std::max(picked, 0));
    }

    QString totals;
    if (r.network) {
        totals = QStringLiteral("总用汽量 %1 t/h").arg(qs(formatShortest(r.totals.demand)));
        if (r.totals.sourceFlow) {
            totals += QStringLiteral("，汽源流量 %1 t/h")
                          .arg(qs(r.solve ? formatFixed(*r.totals.sourceFlow, 3) : formatShortest(*r.totals.sourceFlow)));
        }
        totals += QStringLiteral("，已算管段总长 %1 m").arg(qs(formatShortest(r.totals.length)));
        if (r.allComputed) totals += QStringLiteral("，热损失 %1 kW").arg(qs(formatFixed(r.totals.heatLossKw, 3)));
        if (r.allComputed && r.totals.condensate) {
            totals += QStringLiteral("，凝结水 %1 t/h").arg(qs(formatFixed(*r.totals.condensate, 3)));
        }
        if (r.critical) {
            totals += QStringLiteral("。最不利用户：%1（%2）").arg(qs(r.nodes[*r.critical].name), qs(pathText(d, r, r.critical)));
        }
        if (r.solve && r.solve->converged) {
            QStringList sources;
            for (const SourceRun& source : r.sources) {
                sources << QStringLiteral("%1 %2 t/h").arg(qs(r.nodes[source.node].name), qs(formatFixed(source.flow, 3)));
            }
            totals += QStringLiteral("。管网求解：计算 %1 次，节点压力残差 %2 Pa；热源供汽 %3")
                          .arg(r.solve->iterations)
                          .arg(qs(formatFixed(r.solve->residual * 1e6, 1)), sources.join(QStringLiteral("、")));
        }
    }
    lblzongji->setText(totals);
    showChart();
    showSelection();
}

void frmguanxian::showChart()
{
    const PipelineResult& r = model_->result();
    const auto picked = std::find_if(r.nodes.begin(), r.nodes.end(), [this](const NodeRun& node) {
        return !profileNode_.isEmpty() && qs(node.name) == profileNode_;
    });
    chtpoumian->setData(picked != r.nodes.end()
                            ? profileData(model_->document(), r, pathTo(r, static_cast<std::size_t>(picked - r.nodes.begin())))
                            : profileData(model_->document(), r));
}

/// The pipe and the node of the tables' current rows, marked in the schematic.
void frmguanxian::showSelection()
{
    const QModelIndex pipe = tblguanduan->currentIndex();
    const QModelIndex node = tbljiedian->currentIndex();
    tuguanwang->highlight(pipe.isValid() && pipe.row() < model_->segmentCount() ? std::optional<std::size_t>(pipe.row()) : std::nullopt,
                          node.isValid() ? std::optional<std::size_t>(node.row()) : std::nullopt);
}

bool frmguanxian::exportNetwork(const QString& path)
{
    return exportTo(path, [this](const QString& target) { return saveSchematic(tuguanwang->schematic(), target); });
}

std::optional<std::size_t> frmguanxian::profileNodeIndex() const
{
    const std::vector<NodeRun>& nodes = model_->result().nodes;
    const auto picked = std::find_if(nodes.begin(), nodes.end(), [this](const NodeRun& node) { return qs(node.name) == profileNode_; });
    if (profileNode_.isEmpty() || picked == nodes.end()) return std::nullopt;
    return static_cast<std::size_t>(picked - nodes.begin());
}

}  // namespace dorvent
