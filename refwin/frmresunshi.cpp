#include "refwin/frmresunshi.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "mainwin/controls.h"
#include "mainwin/messageservice.h"
#include "mainwin/songfont.h"
#include "numtext/formatnumber.h"
#include "refwin/resunshibiao.h"

namespace dorvent {
namespace {

QRadioButton* makeOption(QGroupBox* frame, const char* name, const QString& caption, Twips at)
{
    auto* option = new QRadioButton(caption, frame);
    option->setObjectName(QString::fromLatin1(name));
    option->setFont(songFont(kMainFontSize));
    placeTwips(option, at.left, at.top, at.width, at.height);
    return option;
}

}  // namespace

frmresunshi::frmresunshi(QComboBox* combo6, QWidget* parent) : QWidget(parent, Qt::Window), combo6_(combo6)
{
    setObjectName(QStringLiteral("frmresunshi"));
    setWindowTitle(QStringLiteral("保温蒸汽管道单位热损失"));
    setFont(songFont(kMainFontSize));
    setFixedSize(twips(7845), twips(5535));
    createWidgets();
    createConnections();
}

void frmresunshi::createWidgets()
{
    Frame1 = makeFrame(this, "Frame1", QStringLiteral("敷设方式"), {120, 240, 2775, 1815});
    optjiakong = makeOption(Frame1, "optjiakong", QStringLiteral("架空"), {240, 360, 855, 375});
    optbutongxing = makeOption(Frame1, "optbutongxing", QStringLiteral("不通行地沟"), {240, 840, 1575, 375});
    opttongxing = makeOption(Frame1, "opttongxing", QStringLiteral("通行地沟"), {240, 1320, 1335, 375});
    Frame2 = makeFrame(this, "Frame2", QStringLiteral("蒸汽温度"), {120, 2520, 2775, 1935});
    opt200 = makeOption(Frame2, "opt200", QStringLiteral("t≤200℃"), {240, 360, 2295, 375});
    opt200300 = makeOption(Frame2, "opt200300", QStringLiteral("200℃<t≤300℃"), {240, 840, 2295, 375});
    opt300350 = makeOption(Frame2, "opt300350", QStringLiteral("300℃<t≤350℃"), {240, 1440, 2295, 375});
    cmdchaxun = makeButton(this, "cmdchaxun", QStringLiteral("查询"), {120, 4680, 1335, 615});
    cmdtuichu = makeButton(this, "cmdtuichu", QStringLiteral("退出"), {1680, 4680, 1215, 615});
    lstresunshi = new QListWidget(this);
    lstresunshi->setObjectName(QStringLiteral("lstresunshi"));
    lstresunshi->setFont(songFont(kMainFontSize));
    placeTwips(lstresunshi, 3360, 120, 4335, 5100);
    Label1 = makeLabel(this, "Label1", QStringLiteral("数据摘自《热能工程设计手册》275页 表4-37"), 3720, 5280,
                       kFrameFontSize);
}

void frmresunshi::createConnections()
{
    connect(optjiakong, &QRadioButton::clicked, this, [this] { fushefangshi = 1; });
    connect(optbutongxing, &QRadioButton::clicked, this, [this] { fushefangshi = 2; });
    connect(opttongxing, &QRadioButton::clicked, this, [this] { fushefangshi = 3; });
    connect(opt200, &QRadioButton::clicked, this, [this] { zhengqiwendu = 2; });
    connect(opt200300, &QRadioButton::clicked, this, [this] { zhengqiwendu = 3; });
    connect(opt300350, &QRadioButton::clicked, this, [this] { zhengqiwendu = 4; });
    connect(cmdchaxun, &QPushButton::clicked, this, &frmresunshi::cmdchaxun_Click);
    // A row is chosen when it becomes selected (mouse or keys) and again by a click on the
    // selected row, which may stand for other options by now. Mere focus chooses nothing.
    connect(lstresunshi, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = lstresunshi->selectedItems();
        if (!selected.isEmpty()) lstresunshi_Click(lstresunshi->row(selected.first()));
    });
    connect(lstresunshi, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lstresunshi_Click(lstresunshi->row(item)); });
    connect(cmdtuichu, &QPushButton::clicked, this, &frmresunshi::cmdtuichu_Click);
}

void frmresunshi::Form_Load()
{
    for (QRadioButton* option : {optjiakong, optbutongxing, opttongxing, opt200, opt200300, opt300350}) {
        option->setAutoExclusive(false);  // an exclusive option cannot be unchecked
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    fushefangshi = 0;
    zhengqiwendu = 0;
    resunshiquzhi = 0.0f;
    lstresunshi->clear();
}

void frmresunshi::cmdchaxun_Click()
{
    if (fushefangshi == 0 || zhengqiwendu == 0) {
        showMessage(fushefangshi == 0 ? QStringLiteral("请先选择敷设方式") : QStringLiteral("请先选择蒸汽温度"));
        return;
    }
    lstresunshi->clear();
    for (int row = 1; row <= kHeatLossRows; ++row) {
        lstresunshi->addItem(QString::fromStdString(resunshiListText(fushefangshi, zhengqiwendu, row)));
    }
}

void frmresunshi::lstresunshi_Click(int row)
{
    if (row < 0 || row >= kHeatLossRows || fushefangshi == 0 || zhengqiwendu == 0) return;
    resunshiquzhi = resunshi(fushefangshi, row + 1, zhengqiwendu);
}

void frmresunshi::cmdtuichu_Click()
{
    // After the main window has gone there is no box to hand the value to.
    if (combo6_ != nullptr) {
        combo6_->addItem(QString::fromStdString(formatShortest(resunshiquzhi)));
        combo6_->setCurrentIndex(combo6_->count() - 1);
    }
    close();
}

}  // namespace dorvent
