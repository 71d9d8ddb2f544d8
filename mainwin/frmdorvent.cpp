#include "mainwin/frmdorvent.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "mainwin/controls.h"
#include "mainwin/messageservice.h"
#include "mainwin/songfont.h"
#include "mainwin/steaminput.h"
#include "netwin/frmguanxian.h"
#include "pipes/guanjing.h"
#include "refwin/frmliusufanwei.h"
#include "refwin/frmresunshi.h"

namespace dorvent {
namespace {

std::string text(const QLineEdit* box) { return box->text().toStdString(); }
std::string text(const QComboBox* list) { return list->currentText().toStdString(); }

template <typename Column>
QStringList catalogueColumn(Column column)
{
    QStringList texts;
    for (const PipeSize& pipe : guanjing) texts << QString::fromStdString(column(pipe));
    return texts;
}

}  // namespace

frmdorvent::frmdorvent(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmdorvent"));
    setWindowTitle(QStringLiteral("Dorvent"));
    setFont(songFont(kMainFontSize));

    auto* client = new QWidget(this);
    client->setFixedSize(twips(10770), twips(7185));
    setCentralWidget(client);
    createSteamFrame(client);
    createPipeFrame(client);
    createSegmentFrame(client);
    createResultFrames(client);
    createButtons(client);
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);  // the layout is fixed: no resizing
    setTabOrder();
    createConnections();
    Form_Load();
}

frmdorvent::~frmdorvent()
{
    delete resunshi_;
    delete guanxian_;
}

void frmdorvent::createSteamFrame(QWidget* client)
{
    Frame1 = makeFrame(client, "Frame1", QStringLiteral("蒸汽参数"), {120, 0, 4215, 4215});
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("蒸汽绝对压力"), 240, 360);
    Combo1 = makeList(Frame1, "Combo1", {3000, 240, 1095, 360});
    Text1 = makeTextBox(Frame1, "Text1", {1800, 240, 1095, 375});
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("蒸汽温度"), 240, 840);
    Text2 = makeTextBox(Frame1, "Text2", {1800, 720, 1095, 375});
    Combo2 = makeList(Frame1, "Combo2", {3000, 720, 1095, 360});
    Text3 = makeResultBox(Frame1, "Text3", {120, 1680, 3975, 2415});
    Label6 = makeLabel(Frame1, "Label6", QStringLiteral("蒸汽流量(t/h)"), 240, 1320);
    Text4 = makeTextBox(Frame1, "Text4", {1800, 1200, 2295, 375});
}

void frmdorvent::createPipeFrame(QWidget* client)
{
    Frame2 = makeFrame(client, "Frame2", QStringLiteral("自选管径"), {4440, 0, 6255, 1815});
    Label3 = makeLabel(Frame2, "Label3", QStringLiteral("公称直径(mm)"), 120, 360);
    Combo3 = makeList(Frame2, "Combo3", {1680, 360, 1335, 360});
    Label4 = makeLabel(Frame2, "Label4", QStringLiteral("外径(mm)"), 120, 840);
    Combo4 = makeList(Frame2, "Combo4", {1680, 840, 1335, 360});
    Label5 = makeLabel(Frame2, "Label5", QStringLiteral("壁厚(mm)"), 120, 1320);
    Combo5 = makeList(Frame2, "Combo5", {1680, 1320, 1335, 360}, true);
    Label7 = makeLabel(Frame2, "Label7", QStringLiteral("流速(m/s)"), 3120, 360);
    Text5 = makeTextBox(Frame2, "Text5", {4320, 360, 1815, 375}, true);
    Label8 = makeLabel(Frame2, "Label8", QStringLiteral("比摩阻(Pa/m)"), 3120, 840);
    Text6 = makeTextBox(Frame2, "Text6", {4680, 840, 1455, 375}, true);
}

void frmdorvent::createSegmentFrame(QWidget* client)
{
    Frame3 = makeFrame(client, "Frame3", QStringLiteral("管段参数"), {4440, 1920, 6255, 2295});
    Label9 = makeLabel(Frame3, "Label9", QStringLiteral("管段长度(m)"), 120, 360);
    Text7 = makeTextBox(Frame3, "Text7", {1800, 240, 1215, 375});
    Label10 = makeLabel(Frame3, "Label10", QStringLiteral("局部阻力系数"), 120, 840);
    Text8 = makeTextBox(Frame3, "Text8", {1920, 720, 1095, 375});
    Label11 = makeLabel(Frame3, "Label11", QStringLiteral("局部热损失系数"), 120, 1800);
    Text9 = makeTextBox(Frame3, "Text9", {1920, 1680, 1095, 375});
    Label12 = makeLabel(Frame3, "Label12", QStringLiteral("单位热损失"), 3240, 840);
    Combo6 = makeList(Frame3, "Combo6", {4560, 720, 1575, 360}, true);
    Command1 = makeButton(Frame3, "Command1", QStringLiteral("查询"), {4560, 1200, 1575, 375});
    Label13 = makeLabel(Frame3, "Label13", QStringLiteral("[kJ/(m h ℃)]"), 3240, 1320, kFrameFontSize);
    Label14 = makeLabel(Frame3, "Label14", QStringLiteral("同时使用系数"), 120, 1320);
    Text10 = makeTextBox(Frame3, "Text10", {1920, 1200, 1095, 375});
    Text11 = makeTextBox(Frame3, "Text11", {5040, 240, 1095, 375});
    Label15 = makeLabel(Frame3, "Label15", QStringLiteral("环境温度（℃）"), 3240, 360);
    Label16 = makeLabel(Frame3, "Label16", QStringLiteral("假设每km温降（℃）"), 3240, 1800);
    Text12 = makeTextBox(Frame3, "Text12", {5400, 1680, 735, 375});
}

void frmdorvent::createResultFrames(QWidget* client)
{
    Frame4 = makeFrame(client, "Frame4", QStringLiteral("根据流速限制,选择管径"), {120, 4200, 4215, 1935});
    List1 = new QListWidget(Frame4);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(songFont(kResultFontSize));
    placeTwips(List1, 120, 240, 3975, 1530);

    Frame5 = makeFrame(client, "Frame5", QStringLiteral("管段末端计算结果"), {4440, 4200, 6255, 1935});
    Text22 = makeResultBox(Frame5, "Text22", {120, 240, 6015, 1575});
    Text22->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void frmdorvent::createButtons(QWidget* client)
{
    Command3 = makeButton(client, "Command3", QStringLiteral("选择管径"), {720, 6240, 1215, 495});
    Command2 = makeButton(client, "Command2", QStringLiteral("清空"), {2640, 6240, 1215, 495});
    Command5 = makeButton(client, "Command5", QStringLiteral("管段计算"), {5520, 6240, 1455, 495});
    Command4 = makeButton(client, "Command4", QStringLiteral("退出"), {8040, 6240, 1215, 495});
}

void frmdorvent::createMenus()
{
    menuBar()->setFont(songFont(kFrameFontSize));
    m1 = menuBar()->addMenu(QStringLiteral("文件"));
    m1->setObjectName(QStringLiteral("m1"));
    m11 = m1->addAction(QStringLiteral("退出"));
    m11->setObjectName(QStringLiteral("m11"));
    m3 = menuBar()->addMenu(QStringLiteral("计算"));
    m3->setObjectName(QStringLiteral("m3"));
    m31 = m3->addAction(QStringLiteral("管线计算…"));
    m31->setObjectName(QStringLiteral("m31"));
    m2 = menuBar()->addMenu(QStringLiteral("帮助"));
    m2->setObjectName(QStringLiteral("m2"));
    m21 = m2->addAction(QStringLiteral("过热蒸汽流速允许范围"));
    m21->setObjectName(QStringLiteral("m21"));
    m22 = m2->addAction(QStringLiteral("关于"));
    m22->setObjectName(QStringLiteral("m22"));
}

void frmdorvent::setTabOrder()
{
    QWidget* const chain[] = {Combo1, Text1,  Text2,    Combo2,   Text3, Combo3, Combo4, Combo5,   Text4,
                              Command2, Command4, List1, Command3, Text5, Text6, Text7, Text8, Text9,
                              Combo6, Command1, Text10, Text11, Command5, Text12, Text22};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
}

void frmdorvent::createConnections()
{
    connect(Text1, &QLineEdit::textChanged, this, &frmdorvent::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &frmdorvent::Text2_Change);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &frmdorvent::Combo1_Click);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &frmdorvent::Combo2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmdorvent::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &frmdorvent::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &frmdorvent::Command5_Click);
    connect(Combo3, &QComboBox::currentIndexChanged, this, &frmdorvent::Combo3_Click);
    connect(Combo4, &QComboBox::currentIndexChanged, this, &frmdorvent::Combo4_Click);
    connect(Combo5, &QComboBox::currentIndexChanged, this, &frmdorvent::Combo5_Click);
    connect(Combo5, &QComboBox::activated, this, &frmdorvent::Combo5_Activated);
    connect(Combo5->lineEdit(), &QLineEdit::textEdited, this, &frmdorvent::Combo5_Change);
    connect(Command2, &QPushButton::clicked, this, &frmdorvent::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &frmdorvent::Command4_Click);
    connect(m11, &QAction::triggered, this, &frmdorvent::m11_Click);
    connect(m21, &QAction::triggered, this, &frmdorvent::m21_Click);
    connect(m22, &QAction::triggered, this, &frmdorvent::m22_Click);
    connect(m31, &QAction::triggered, this, &frmdorvent::m31_Click);
}

void frmdorvent::Form_Load()
{
    fillList(Combo1, {QStringLiteral("MPa"), QStringLiteral("kPa"), QStringLiteral("kgf/cm2")});
    Combo1->setCurrentIndex(0);  // evaluates: "请输入压力"
    fillList(Combo2, {QStringLiteral("℃"), QStringLiteral("K")});
    Combo2->setCurrentIndex(0);
    fillList(Combo3, catalogueColumn(dnText));
    fillList(Combo4, catalogueColumn(waijingText));
    fillList(Combo5, catalogueColumn(bihouText));
    Text1->setFocus();
}

// The focus goes back to the pressure box at start-up and when the user returns from one of the
// two reference windows; a message box or another program leaves it where it was.
void frmdorvent::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (returningFromReference_) Form_Activate();
        returningFromReference_ = false;
    }
}

/// Follows the activation of the reference windows: whether a return to this window comes from one.
/// A reference window that closes counts as a return even when the activation passes through no
/// window on the way, as some platforms do.
bool frmdorvent::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        const auto* reference = static_cast<QWidget*>(watched);
        if (reference->isActiveWindow() || reference->isHidden()) {
            returningFromReference_ = true;
        } else if (QApplication::activeWindow() != this) {
            returningFromReference_ = false;  // left for another program while it stays open
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmdorvent::Form_Activate() { Text1->setFocus(); }

void frmdorvent::Text1_Change() { duqucanshu(); }
void frmdorvent::Text2_Change() { duqucanshu(); }
void frmdorvent::Combo1_Click() { duqucanshu(); }
void frmdorvent::Combo2_Click() { duqucanshu(); }

void frmdorvent::duqucanshu()
{
    const std::string pressure = text(Text1);
    const std::string pressureUnit = text(Combo1);
    const std::string temperature = text(Text2);
    const std::string temperatureUnit = text(Combo2);
    const std::string report = dorvent::duqucanshu({pressure, pressureUnit, temperature, temperatureUnit}, state_);
    Text3->setPlainText(QString::fromStdString(report));
}

void frmdorvent::Command1_Click()
{
    if (resunshi_ == nullptr) {
        resunshi_ = new frmresunshi(Combo6);
        resunshi_->installEventFilter(this);
    }
    if (!resunshi_->isVisible()) {
        resunshi_->Form_Load();
        resunshi_->show();
    }
    resunshi_->raise();
    resunshi_->activateWindow();
}

void frmdorvent::Command2_Click()
{
    for (QLineEdit* box : {Text1, Text2}) box->clear();  // each runs the evaluation once more
    Text3->clear();
    for (QLineEdit* box : {Text4, Text5, Text6}) box->clear();
    for (QComboBox* list : {Combo3, Combo4, Combo5}) {
        const QSignalBlocker quiet(list);  // a quiet clear: no pipe evaluation, no message
        list->setCurrentIndex(-1);
    }
    Combo5->clearEditText();
    wallTyped_ = false;
    List1->clear();

    state_.p = state_.t = state_.tsheshidu = 0.0;
    state_.pbaohe = state_.tbaohe = state_.p23bianjie = state_.t23bianjie = state_.bihan = 0.0;
    state_.area = region::none;
}

void frmdorvent::Command4_Click() { close(); }
void frmdorvent::m11_Click() { close(); }

void frmdorvent::m21_Click()
{
    frmliusufanwei window(this);
    window.installEventFilter(this);
    window.exec();
}

/// The pipeline window, one of it, opened without blocking this one. A new, untouched pipeline
/// takes the state evaluated here as its start.
void frmdorvent::m31_Click() { pipelineWindow()->showFromMainWindow(); }

frmguanxian* frmdorvent::pipelineWindow()
{
    if (guanxian_ == nullptr) guanxian_ = makePipelineWindow(nullptr);
    return guanxian_;
}

frmguanxian* frmdorvent::anotherPipelineWindow()
{
    frmguanxian* window = makePipelineWindow(this);  // owned here, yet a window of its own
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

frmguanxian* frmdorvent::makePipelineWindow(QWidget* parent)
{
    auto* window = new frmguanxian(&state_, parent);
    connect(window, &frmguanxian::mainWindowWanted, this, [this] {
        show();
        raise();
        activateWindow();
    });
    return window;
}

void frmdorvent::m22_Click()
{
    showMessage(QStringLiteral("Dorvent v1.0   作者：Dorvent 开发组\r\n联系：问题和建议请提交到 Dorvent 项目的问题列表"),
                QStringLiteral("Dorvent v1.0"));
}

}  // namespace dorvent
