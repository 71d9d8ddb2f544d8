#include "netwin/frmguanxian.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QSplitter>
#include <QTimer>

#include <cmath>
#include <set>

#include "mainwin/messageservice.h"
#include "mainwin/songfont.h"
#include "numtext/formatnumber.h"
#include "numtext/readnumber.h"
#include "report/calcreport.h"
#include "report/filewrite.h"
#include "pipeline/pipelinefile.h"
#include "report/profilechart.h"
#include "netwin/profileview.h"
#include "netwin/pipelinemodel.h"
#include "pipeline/loadcases.h"
#include "pipeline/pipelinetable.h"
#include "netwin/pipelinetableview.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

/// A typed number as a document holds it: empty when nothing is typed.
std::optional<double> numberIn(const QLineEdit* box)
{
    if (box->text().isEmpty()) return std::nullopt;
    return readNumber(box->text().toStdString());
}

/// Shows a number of the document, unless the box already holds a text that reads as it
/// (so that "1." stays as it is typed).
void showNumber(QLineEdit* box, const std::optional<double>& value)
{
    if (numberIn(box) != value) box->setText(value ? qs(formatShortest(*value)) : QString());
}

void showText(QLineEdit* box, const std::string& text)
{
    if (box->text().toStdString() != text) box->setText(qs(text));
}

QLineEdit* makeBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QComboBox* makeUnits(QWidget* parent, const char* name, const QStringList& units)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(units);
    return list;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

/// A new segment continues the one before it: the same pipe, coefficients and laying, and in a
/// network it starts where that one ends; its end, length, flow and label are the engineer's to
/// give, and a text the one before keeps in place of a number is not passed on.
PipelineSegment nextSegment(const std::vector<PipelineSegment>& segments, std::size_t at)
{
    if (segments.empty()) return {};
    PipelineSegment s = segments[at == 0 ? 0 : at - 1];
    s.label.clear();
    s.from = s.to;
    s.to.clear();
    s.length.reset();
    s.flow.reset();
    s.notNumbers.clear();
    return s;
}

// Undo steps of consecutive typing into one header field become one.
enum HeaderField { project = 1, designer, pressure, pressureUnit, temperature, temperatureUnit, margin, law, dryness };

}  // namespace

frmguanxian::frmguanxian(const SteamState* mainState, QWidget* parent)
    : QMainWindow(parent), mainState_(mainState), model_(new PipelineModel(this))
{
    setObjectName(QStringLiteral("frmguanxian"));
    setFont(songFont(10.5));
    createActions();
    createMenus();
    createWidgets();
    createConnections();
    resize(1100, 640);
    restoreLayout();
    setAcceptDrops(true);  // a pipeline file dropped anywhere on the window opens
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->setAcceptDrops(false);
    autosaveTimer_ = new QTimer(this);
    connect(autosaveTimer_, &QTimer::timeout, this, &frmguanxian::autosave);
    autosaveTimer_->start(autosaveSeconds() * 1000);
    newDocument();
}

// The undo stack says it is clean once more as it goes; by then this window is no more.
frmguanxian::~frmguanxian() { disconnect(model_->undoStack(), nullptr, this, nullptr); }

void frmguanxian::createActions()
{
    const auto action = [this](const char* name, const QString& caption, QKeySequence keys) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        return a;
    };
    // Every menu and entry has its letter (文件(&F)), as Chinese desktop programs write them.
    mxinjian = action("mxinjian", QStringLiteral("新建(&N)"), QKeySequence::New);
    mdakai = action("mdakai", QStringLiteral("打开(&O)…"), QKeySequence::Open);
    mbaocun = action("mbaocun", QStringLiteral("保存(&S)"), QKeySequence::Save);
    mlingcun = action("mlingcun", QStringLiteral("另存为(&A)…"), QKeySequence::SaveAs);
    mguanbi = action("mguanbi", QStringLiteral("关闭(&C)"), QKeySequence::Close);
    mdaochucsv = action("mdaochucsv", QStringLiteral("导出表格(CSV)(&T)…"), {});
    mdaochujiedian = action("mdaochujiedian", QStringLiteral("导出节点表(CSV)(&J)…"), {});
    mdaochutu = action("mdaochutu", QStringLiteral("导出图表(PNG/PDF)(&G)…"), {});
    mjisuanshu = action("mjisuanshu", QStringLiteral("导出计算书(PDF)(&E)…"), {});
    mdayin = action("mdayin", QStringLiteral("打印计算书(&P)…"), QKeySequence::Print);
    mchexiao = model_->undoStack()->createUndoAction(this, QStringLiteral("撤销(&U)"));
    mchexiao->setObjectName(QStringLiteral("mchexiao"));
    mchexiao->setShortcut(QKeySequence::Undo);
    mchongzuo = model_->undoStack()->createRedoAction(this, QStringLiteral("重做(&R)"));
    mchongzuo->setObjectName(QStringLiteral("mchongzuo"));
    mchongzuo->setShortcuts({QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // The table's own: their keys act while the table has the focus, so that the header boxes keep
    // theirs; the table's context menu offers them too.
    const auto tableAction = [&action](const char* name, const QString& caption, QKeySequence keys) {
        QAction* a = action(name, caption, keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        return a;
    };
    mjianqie = tableAction("mjianqie", QStringLiteral("剪切(&T)"), QKeySequence::Cut);
    mfuzhi = tableAction("mfuzhi", QStringLiteral("复制(&C)"), QKeySequence::Copy);
    mzhantie = tableAction("mzhantie", QStringLiteral("粘贴(&P)"), QKeySequence::Paste);
    mqingchu = tableAction("mqingchu", QStringLiteral("删除内容(&D)"), QKeySequence::Delete);
    mcharu = tableAction("mcharu", QStringLiteral("插入管段(&I)"), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    mtianjia = tableAction("mtianjia", QStringLiteral("添加管段(&A)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus));
    mshanchu = tableAction("mshanchu", QStringLiteral("删除管段(&R)"), QKeySequence(Qt::CTRL | Qt::Key_Minus));
    mshangyi = tableAction("mshangyi", QStringLiteral("上移管段(&K)"), QKeySequence(Qt::ALT | Qt::Key_Up));
    mxiayi = tableAction("mxiayi", QStringLiteral("下移管段(&J)"), QKeySequence(Qt::ALT | Qt::Key_Down));
    mzhuchuangkou = action("mzhuchuangkou", QStringLiteral("主窗口(&M)"), {});
    mshiying = action("mshiying", QStringLiteral("管网图适合窗口(&F)"), {});
    mdaochuguanwang = action("mdaochuguanwang", QStringLiteral("导出管网图(PNG/SVG)(&W)…"), {});
    mzidongxuanguan = action("mzidongxuanguan", QStringLiteral("自动选管(&Z)…"), {});
    mbaowenhoudu = action("mbaowenhoudu", QStringLiteral("保温厚度计算(&H)…"), {});
}

void frmguanxian::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addActions({mxinjian, mdakai, mbaocun, mlingcun});
    mzuijin = file->addMenu(QStringLiteral("最近打开的文件(&R)"));
    mzuijin->setObjectName(QStringLiteral("mzuijin"));
    fillRecentFiles();
    file->addSeparator();
    file->addActions({mdaochucsv, mdaochujiedian, mdaochutu, mdaochuguanwang, mjisuanshu, mdayin});
    file->addSeparator();
    file->addAction(mguanbi);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    edit->addActions({mchexiao, mchongzuo});
    edit->addSeparator();
    edit->addActions({mjianqie, mfuzhi, mzhantie, mqingchu});
    edit->addSeparator();
    edit->addActions({mcharu, mtianjia, mshanchu, mshangyi, mxiayi});
    edit->addSeparator();
    edit->addActions({mzidongxuanguan, mbaowenhoudu});
    QMenu* window = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    window->addActions({mshiying, mzhuchuangkou});
}

void frmguanxian::createWidgets()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    txtxiangmu = makeBox(client, "txtxiangmu");
    txtshejiren = makeBox(client, "txtshejiren");
    txtyali = makeBox(client, "txtyali");
    cboyali = makeUnits(client, "cboyali", {QStringLiteral("MPa"), QStringLiteral("kPa"), QStringLiteral("kgf/cm2")});
    txtwendu = makeBox(client, "txtwendu");
    cbowendu = makeUnits(client, "cbowendu", {QStringLiteral("℃"), QStringLiteral("K")});
    txtyuliang = makeBox(client, "txtyuliang");
    cbowenjiang = makeUnits(client, "cbowenjiang", {qs(std::string(kTemperatureLawNames[0])), qs(std::string(kTemperatureLawNames[1]))});
    cbowenjiang->setToolTip(QStringLiteral("按热损失：温降等于热损失除以 G·cp，与主窗口的管段计算相同；"
                                           "按焓平衡：逐段按焓计算，计入压降引起的节流降温，并可算到湿蒸汽"));
    txtgandu = makeBox(client, "txtgandu");
    txtgandu->setToolTip(QStringLiteral("按焓平衡时，湿蒸汽干度低于此值即停止计算：更湿的蒸汽不宜按均相流计算。"
                                        "大于 0 且不大于 1"));
    cmdqu = makeButton(client, "cmdqu", QStringLiteral("取主窗口状态"));
    cbogongkuang = new QComboBox(client);
    cbogongkuang->setObjectName(QStringLiteral("cbogongkuang"));
    // As wide as a name of ten characters whatever the names: the boxes beside it stay put.
    cbogongkuang->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbogongkuang->setMinimumContentsLength(10);
    cbogongkuang->setToolTip(QStringLiteral("管段表、节点表、管网图和沿程分布显示的工况；各工况随每次修改一并计算"));
    lblqidian = new QLabel(client);
    lblqidian->setObjectName(QStringLiteral("lblqidian"));
    cmdtianjia = makeButton(client, "cmdtianjia", QStringLiteral("添加管段"));
    cmdcharu = makeButton(client, "cmdcharu", QStringLiteral("插入管段"));
    cmdshanchu = makeButton(client, "cmdshanchu", QStringLiteral("删除管段"));
    cmdshangyi = makeButton(client, "cmdshangyi", QStringLiteral("上移"));
    cmdxiayi = makeButton(client, "cmdxiayi", QStringLiteral("下移"));
    for (QLineEdit* box : {txtyali, txtwendu, txtyuliang, txtgandu}) box->setMaximumWidth(110);
    for (QLineEdit* box : {txtxiangmu, txtshejiren}) box->setMaxLength(kMostTextBytes / 3);  // as a file holds them
    tblguanduan = new PipelineTableView(model_, client);
    tblguanduan->setObjectName(QStringLiteral("tblguanduan"));
    tblguanduan->pickPipesFromLists([this] {
        std::vector<std::string> names;
        for (const InsulationConstruction& c : model_->document().constructions) names.push_back(c.name);
        return names;
    });
    tblguanduan->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* separator = new QAction(tblguanduan);
    separator->setSeparator(true);
    tblguanduan->addActions({mjianqie, mfuzhi, mzhantie, mqingchu, separator, mcharu, mtianjia, mshanchu, mshangyi, mxiayi});
    lblxiaoxi = new QLabel(client);  // the first segment that did not compute, and why
    lblxiaoxi->setObjectName(QStringLiteral("lblxiaoxi"));
    lblxiaoxi->setStyleSheet(QStringLiteral("color: #b00000"));
    // One line, always there, empty or not, so that the table below never moves under the pointer;
    // a message longer than the window is cut, and whole in its tool tip.
    lblxiaoxi->setFixedHeight(lblxiaoxi->fontMetrics().lineSpacing() + 4);
    lblxiaoxi->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* split = new QSplitter(Qt::Vertical, client);
    split->addWidget(tblguanduan);
    split->addWidget(createNetworkWidgets(client));
    split->setSizes({300, 300});

    auto* names = new QHBoxLayout;
    names->addWidget(new QLabel(QStringLiteral("项目名称"), client));
    names->addWidget(txtxiangmu, 3);
    names->addWidget(new QLabel(QStringLiteral("设计人"), client));
    names->addWidget(txtshejiren, 1);
    names->addWidget(new QLabel(QStringLiteral("显示工况"), client));
    names->addWidget(cbogongkuang);
    auto* start = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{new QLabel(QStringLiteral("起点压力"), client), txtyali, cboyali,
                                                      new QLabel(QStringLiteral("起点温度"), client), txtwendu, cbowendu,
                                                      new QLabel(QStringLiteral("过热度裕量(℃)"), client), txtyuliang,
                                                      new QLabel(QStringLiteral("温降计算"), client), cbowenjiang,
                                                      new QLabel(QStringLiteral("最低干度"), client), txtgandu, cmdqu}) {
        start->addWidget(w);
    }
    start->addStretch();
    auto* rows = new QHBoxLayout;
    for (QPushButton* b : {cmdtianjia, cmdcharu, cmdshanchu, cmdshangyi, cmdxiayi}) rows->addWidget(b);
    rows->addStretch();
    auto* layout = new QVBoxLayout(client);
    layout->addLayout(names);
    layout->addLayout(start);
    layout->addWidget(lblqidian);
    layout->addLayout(rows);
    layout->addWidget(lblxiaoxi);
    layout->addWidget(split, 1);
}

void frmguanxian::createConnections()
{
    connect(mxinjian, &QAction::triggered, this, [this] {
        if (maybeSave()) newDocument();
    });
    connect(mdakai, &QAction::triggered, this, &frmguanxian::open);
    connect(mbaocun, &QAction::triggered, this, &frmguanxian::save);
    connect(mlingcun, &QAction::triggered, this, &frmguanxian::saveAs);
    connect(mguanbi, &QAction::triggered, this, &QWidget::close);
    connect(mdaochucsv, &QAction::triggered, this, [this] {
        const QString path = exportPath(QStringLiteral("导出表格"), QStringLiteral("CSV 表格 (*.csv)"), ".csv");
        if (!path.isEmpty()) exportCsv(path);
    });
    connect(mdaochujiedian, &QAction::triggered, this, [this] {
        const QString path = exportPath(QStringLiteral("导出节点表"), QStringLiteral("CSV 表格 (*.csv)"), "-节点.csv");
        if (!path.isEmpty()) exportNodesCsv(path);
    });
    connect(mdaochutu, &QAction::triggered, this, [this] {
        const QString path =
            exportPath(QStringLiteral("导出图表"), QStringLiteral("PNG 图片 (*.png);;PDF 文件 (*.pdf)"), "-沿程分布.png");
        if (!path.isEmpty()) exportChart(path);
    });
    connect(mjisuanshu, &QAction::triggered, this, [this] {
        const QString path = exportPath(QStringLiteral("导出计算书"), QStringLiteral("PDF 文件 (*.pdf)"), "-计算书.pdf");
        if (!path.isEmpty()) exportReport(path);
    });
    connect(mdayin, &QAction::triggered, this, &frmguanxian::printPreview);
    connect(cmdqu, &QPushButton::clicked, this, &frmguanxian::takeMainState);
    connect(cmdtianjia, &QPushButton::clicked, this, &frmguanxian::addSegment);
    connect(cmdcharu, &QPushButton::clicked, this, &frmguanxian::insertSegment);
    connect(cmdshanchu, &QPushButton::clicked, this, &frmguanxian::deleteSegments);
    connect(cmdshangyi, &QPushButton::clicked, this, [this] { moveSegment(-1); });
    connect(cmdxiayi, &QPushButton::clicked, this, [this] { moveSegment(1); });
    connect(mcharu, &QAction::triggered, this, &frmguanxian::insertSegment);
    connect(mtianjia, &QAction::triggered, this, &frmguanxian::addSegment);
    connect(mshanchu, &QAction::triggered, this, &frmguanxian::deleteSegments);
    connect(mshangyi, &QAction::triggered, this, [this] { moveSegment(-1); });
    connect(mxiayi, &QAction::triggered, this, [this] { moveSegment(1); });
    connect(mfuzhi, &QAction::triggered, tblguanduan, &PipelineTableView::copySelection);
    connect(mzhantie, &QAction::triggered, tblguanduan, &PipelineTableView::paste);
    connect(mqingchu, &QAction::triggered, tblguanduan, &PipelineTableView::clearSelectedCells);
    connect(mjianqie, &QAction::triggered, tblguanduan, [this] {
        tblguanduan->copySelection();
        tblguanduan->clearSelectedCells();
    });
    connect(mzhuchuangkou, &QAction::triggered, this, &frmguanxian::mainWindowWanted);
    for (QLineEdit* box : {txtxiangmu, txtshejiren, txtyali, txtwendu, txtyuliang, txtgandu}) {
        connect(box, &QLineEdit::textEdited, this, &frmguanxian::headerEdited);
    }
    // A dryness the document cannot take stays in its box, marked, until the box is left.
    connect(txtgandu, &QLineEdit::editingFinished, this, &frmguanxian::showDocument);
    for (QComboBox* list : {cboyali, cbowendu, cbowenjiang}) {
        connect(list, &QComboBox::activated, this, &frmguanxian::headerEdited);
    }
    connect(model_, &PipelineModel::calculated, this, &frmguanxian::showDocument);
    connect(model_, &PipelineModel::calculated, this, &frmguanxian::showNetwork);
    createNetworkConnections();
    createInsulationConnections();
    createCaseConnections();
    connect(model_, &PipelineModel::calculated, this, &frmguanxian::showCases);
    connect(model_->undoStack(), &QUndoStack::cleanChanged, this, &frmguanxian::cleanChanged);
    // Edited back to what was saved, the document has no unsaved changes.
    connect(model_->undoStack(), &QUndoStack::indexChanged, this, [this] {
        if (model_->document() == saved_) model_->undoStack()->setClean();
    });
}

void frmguanxian::newDocument()
{
    saved_ = withMainState({.segments = {PipelineSegment{}}});
    model_->resetDocument(saved_);
    filePath_.clear();
    updateTitle();
}

void frmguanxian::showFromMainWindow()
{
    if (!isVisible() && filePath_.isEmpty() && model_->undoStack()->count() == 0) newDocument();
    show();
    raise();
    activateWindow();
}

void frmguanxian::takeMainState()
{
    if (mainState_ == nullptr || mainState_->area == region::none) {
        showMessage(QStringLiteral("请先计算蒸汽状态"));
        emit mainWindowWanted();  // where the state is computed, even after it was closed
        return;
    }
    model_->changeDocument(withMainState(model_->document()), QStringLiteral("取主窗口状态"));
}

/// The document started from the main window's state, in MPa and ℃, if it has one.
PipelineDocument frmguanxian::withMainState(PipelineDocument d) const
{
    if (mainState_ != nullptr && mainState_->area != region::none) {
        d.startPressure = mainState_->p;
        d.pressureUnit = "MPa";
        d.startTemperature = mainState_->tsheshidu;
        d.temperatureUnit = "℃";
    }
    return d;
}

void frmguanxian::headerEdited()
{
    const QObject* from = sender();
    const int field = from == txtxiangmu ? project : from == txtshejiren ? designer : from == txtyali ? pressure
                      : from == cboyali  ? pressureUnit : from == txtwendu ? temperature
                      : from == cbowendu ? temperatureUnit : from == cbowenjiang ? law
                      : from == txtgandu ? dryness : margin;
    PipelineDocument d = model_->document();
    d.project = txtxiangmu->text().toStdString();
    d.designer = txtshejiren->text().toStdString();
    d.pressureUnit = cboyali->currentText().toStdString();
    d.temperatureUnit = cbowendu->currentText().toStdString();
    // A number beyond what a document holds is kept out of it and so out of its file; what the
    // other boxes hold is taken all the same.
    const std::optional<double> pressure = numberIn(txtyali), temperature = numberIn(txtwendu);
    const double superheatMargin = readNumber(txtyuliang->text().toStdString());
    const auto within = [](std::optional<double> value) { return !value || isDocumentNumber(*value); };
    if (within(pressure)) d.startPressure = pressure;
    if (within(temperature)) d.startTemperature = temperature;
    if (within(superheatMargin)) d.superheatMargin = superheatMargin;
    d.temperatureLaw = static_cast<TemperatureLaw>(cbowenjiang->currentIndex());
    const std::optional<double> lowest = readCellNumber(txtgandu->text().trimmed().toStdString());
    const bool drynessTaken = lowest && *lowest > 0 && *lowest <= 1;
    if (drynessTaken) d.lowestDryness = *lowest;
    txtgandu->setStyleSheet(drynessTaken ? QString() : QStringLiteral("color: #b00000"));
    if (!drynessTaken) showFailure();
    if (d == model_->document() && !(within(pressure) && within(temperature) && within(superheatMargin))) {
        lblqidian->setText(QStringLiteral("起点状态：输入数值超出计算范围，无法计算"));
    }
    model_->changeDocument(d, QStringLiteral("编辑管线参数"), field);
}

/// Brings the header in line with the document after any change, and shows the start state.
void frmguanxian::showDocument()
{
    const PipelineDocument& d = model_->document();
    showText(txtxiangmu, d.project);
    showText(txtshejiren, d.designer);
    showNumber(txtyali, d.startPressure);
    cboyali->setCurrentText(qs(d.pressureUnit));
    showNumber(txtwendu, d.startTemperature);
    cbowendu->setCurrentText(qs(d.temperatureUnit));
    showNumber(txtyuliang, d.superheatMargin);
    cbowenjiang->setCurrentIndex(static_cast<int>(d.temperatureLaw));
    // While the box is being typed into, a text the document cannot take stays; any dryness it
    // could take is shown as the document holds it (after an undo, say).
    const std::optional<double> typed = readCellNumber(txtgandu->text().trimmed().toStdString());
    if (!txtgandu->hasFocus() || (typed && *typed > 0 && *typed <= 1)) {
        showNumber(txtgandu, d.lowestDryness);
        txtgandu->setStyleSheet(QString());
    }
    txtgandu->setEnabled(d.temperatureLaw == TemperatureLaw::enthalpyBalance);

    const PipelineResult& r = model_->result();
    // The case shown, where it is not the design case: its source is its own.
    const QString title = model_->shownCase() == 0 ? QStringLiteral("起点状态：")
                                                   : QStringLiteral("起点状态（%1）：").arg(qs(caseName(d, model_->shownCase())));
    if (!r.startMessage.empty()) {
        lblqidian->setText(title + qs(r.startMessage));
    } else if (r.solve) {
        // A network solved for its flows starts at each of its sources.
        QStringList sources;
        for (const SourceRun& source : r.sources) {
            const NodeRun& node = r.nodes[source.node];
            sources << QStringLiteral("%1 %2 MPa，%3 ℃").arg(qs(node.name), qs(formatFixed(node.p, 3)), qs(formatFixed(node.t, 3)));
        }
        const QString heading = model_->shownCase() == 0 ? QStringLiteral("热源状态：")
                                                         : QStringLiteral("热源状态（%1）：").arg(qs(caseName(d, model_->shownCase())));
        lblqidian->setText(heading + (r.solve->converged ? sources.join(QStringLiteral("；")) : QStringLiteral("管网未能求解")));
    } else if (!r.profile.empty()) {
        const ProfilePoint& start = r.profile.front();
        QString text = title + QStringLiteral("%1 MPa，%2 ℃，过热蒸汽")
                           .arg(qs(formatFixed(start.p, 3)), qs(formatFixed(start.t, 3)));
        if (start.tsat) text += QStringLiteral("，饱和温度 %1 ℃").arg(qs(formatFixed(*start.tsat, 3)));
        // The inputs the tables and the header boxes take are the design case's, whatever case shows.
        if (model_->shownCase() > 0) text += QStringLiteral("。表中输入和表头的起点参数为%1的数据").arg(qs(d.designCase));
        lblqidian->setText(text);
    }
    showFailure();
}

/// The failure line: a lowest dryness typed and not taken, else the network's layout, else the
/// first segment that failed.
void frmguanxian::showFailure()
{
    const PipelineDocument& d = model_->document();
    const PipelineResult& r = model_->result();
    // The layout of a network first: until it is a tree, its faults are what stops the calculation.
    QString failure = r.topologyMessage.empty() ? QString() : QStringLiteral("管网布置有误：") + qs(r.topologyMessage);
    if (failure.isEmpty() && r.solve && !r.solve->converged) failure = QStringLiteral("管网未能求解：") + qs(r.solve->message);
    for (std::size_t i = 0; i < r.segments.size() && failure.isEmpty(); ++i) {
        if (r.segments[i].status != SegmentStatus::failed || model_->problemOf(static_cast<int>(i), 0).isEmpty()) continue;
        const std::string& label = d.segments[i].label;
        failure = QStringLiteral("管段 %1%2未能算出：%3")
                      .arg(i + 1)
                      .arg(label.empty() ? QStringLiteral(" ") : QStringLiteral("（%1）").arg(qs(label)), qs(r.segments[i].message));
    }
    if (const QString refused = drynessRefusal(); !refused.isEmpty()) failure = refused;  // what was just typed first
    lblxiaoxi->setText(failure);
    lblxiaoxi->setToolTip(failure);
}

QString frmguanxian::drynessRefusal() const
{
    const QString typed = txtgandu->text().trimmed();
    const std::optional<double> lowest = readCellNumber(typed.toStdString());
    if (typed.isEmpty() || (lowest && *lowest > 0 && *lowest <= 1)) return {};
    return QStringLiteral("最低干度“%1”未采用：应为大于 0 且不大于 1 的数，计算仍按 %2")
        .arg(typed, qs(formatShortest(model_->document().lowestDryness)));
}

void frmguanxian::updateTitle()
{
    const QString name = filePath_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(filePath_).fileName();
    setWindowTitle(QStringLiteral("管线计算 - %1[*]").arg(name));
    setWindowModified(!model_->undoStack()->isClean());
}


QList<int> frmguanxian::selectedRows() const
{
    std::set<int> rows;
    for (const QModelIndex& index : tblguanduan->selectionModel()->selectedIndexes()) rows.insert(index.row());
    if (rows.empty() && tblguanduan->currentIndex().isValid()) rows.insert(tblguanduan->currentIndex().row());
    rows.erase(model_->segmentCount());  // the totals
    return {rows.begin(), rows.end()};
}

void frmguanxian::addSegment()
{
    PipelineDocument d = model_->document();
    if (d.segments.size() >= kMostSegments) return;  // as many as a file may hold
    d.segments.push_back(nextSegment(d.segments, d.segments.size()));
    model_->changeDocument(d, QStringLiteral("添加管段"));
    editRow(model_->segmentCount() - 1);
}

/// The first cell of a new row, with the focus, so that typing goes there.
void frmguanxian::editRow(int row)
{
    tblguanduan->setFocus();
    tblguanduan->setCurrentIndex(model_->index(row, static_cast<int>(Column::label)));
}

void frmguanxian::insertSegment()
{
    PipelineDocument d = model_->document();
    if (d.segments.size() >= kMostSegments) return;
    const int row = std::clamp(tblguanduan->currentIndex().row(), 0, model_->segmentCount());
    d.segments.insert(d.segments.begin() + row, nextSegment(d.segments, static_cast<std::size_t>(row)));
    model_->changeDocument(d, QStringLiteral("插入管段"));
    editRow(row);
}

void frmguanxian::deleteSegments()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) return;
    PipelineDocument d = model_->document();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) d.segments.erase(d.segments.begin() + *it);
    model_->changeDocument(d, QStringLiteral("删除管段"));
    tblguanduan->setCurrentIndex(model_->index(std::min(rows.first(), model_->segmentCount()), 0));
}

void frmguanxian::moveSegment(int step)
{
    const QModelIndex current = tblguanduan->currentIndex();
    const int row = current.row();
    const int to = row + step;
    if (!current.isValid() || row >= model_->segmentCount() || to < 0 || to >= model_->segmentCount()) return;
    PipelineDocument d = model_->document();
    std::swap(d.segments[static_cast<std::size_t>(row)], d.segments[static_cast<std::size_t>(to)]);
    model_->changeDocument(d, step < 0 ? QStringLiteral("上移管段") : QStringLiteral("下移管段"));
    tblguanduan->setCurrentIndex(model_->index(to, current.column()));
}

}  // namespace dorvent
