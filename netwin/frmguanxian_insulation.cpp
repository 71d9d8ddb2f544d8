// The pipeline window's insulation: the page of constructions, own materials, limits and prices
// (保温做法), the pipe table's insulation columns, and the thickness design of insulated pipes.

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

#include <cmath>
#include <set>

#include "insulation/jackets.h"
#include "insulation/materials.h"
#include "mainwin/messageservice.h"
#include "netwin/constructionmodel.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/pipelinetableview.h"
#include "netwin/thicknessdialog.h"
#include "numtext/formatnumber.h"
#include "pipeline/constructiontable.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/thicknessdesign.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

// Undo steps of consecutive typing into one settings box become one, as in the header's boxes.
constexpr int kFirstSettingsKey = 21;

/// A number of the settings as its box shows it (the boxes in this order: settingBoxes), the
/// interest rate as a percentage.
struct SettingBox {
    std::optional<double> InsulationSettings::*value;
    const char* name;      // for the refusal: "热价"
    double low;
    bool lowIncluded;
    double high;
    const char* range;     // the range in words
    double scale = 1;      // the box shows the value times this
    bool whole = false;    // a whole number
};

const SettingBox kSettings[] = {
    {&InsulationSettings::surfaceLimit, "表面温度限值", 0, false, 1000, "应大于 0 ℃ 且不高于 1000 ℃"},
    {&InsulationSettings::heatPrice, "热价", 0, true, kLargestNumber, "不应为负"},
    {&InsulationSettings::hours, "年运行小时数", 0, false, 8784, "应大于 0 且不多于 8784 小时"},
    {&InsulationSettings::insulationPrice, "保温材料价格", 0, true, kLargestNumber, "不应为负"},
    {&InsulationSettings::jacketPrice, "外护层价格", 0, true, kLargestNumber, "不应为负"},
    {&InsulationSettings::years, "计算年限", 1, true, 100, "应为 1 至 100 的整年数", 1, true},
    {&InsulationSettings::interest, "年利率", 0, true, 1, "应在 0 至 100 % 之间", 100},
};

/// What a box holds as a value of the document, or why it holds none; empty text: no value.
std::optional<double> settingIn(const QLineEdit* box, const SettingBox& s, QString* why = nullptr)
{
    const std::string text = trimmed(box->text().toStdString());
    if (text.empty()) return std::nullopt;
    const std::optional<double> typed = readCellNumber(text);
    const double value = typed ? *typed / s.scale : 0;
    if (!typed) {
        if (why != nullptr) *why = QString::fromUtf8(s.name) + QStringLiteral("：") + qs(notNumberReason(text));
    } else if (value < s.low || (!s.lowIncluded && value == s.low) || value > s.high || (s.whole && value != std::floor(value))) {
        if (why != nullptr) *why = QString::fromUtf8(s.name) + QString::fromUtf8(s.range);
    } else {
        return value;
    }
    return std::nullopt;
}

/// Shows a value of the document, unless the box already holds a text that reads as it.
void showSetting(QLineEdit* box, const SettingBox& s, const std::optional<double>& value)
{
    const std::optional<double> shown = settingIn(box, s);
    if (shown == value || (shown && value && std::fabs(*shown - *value) <= 1e-12 * std::fabs(*value))) return;
    // A percentage without the last bits of a binary fraction (0.07 × 100 is 7.000000000000001).
    box->setText(value ? qs(formatShortest(QString::number(*value * s.scale, 'g', 12).toDouble())) : QString());
}

QLineEdit* settingBox(QWidget* parent, const char* name, const QString& tip)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaximumWidth(100);
    box->setToolTip(tip);
    box->setAcceptDrops(false);
    return box;
}

QPushButton* pageButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

/// The rows of a table's selection, or its current row.
std::vector<std::size_t> pickedRows(const QAbstractItemView* view)
{
    std::set<std::size_t> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) rows.insert(static_cast<std::size_t>(index.row()));
    if (rows.empty() && view->currentIndex().isValid()) rows.insert(static_cast<std::size_t>(view->currentIndex().row()));
    return {rows.begin(), rows.end()};
}

QList<ListChoice> materialChoices(const PipelineDocument& d, bool outer)
{
    QList<ListChoice> choices;
    if (outer) choices.append({QStringLiteral("（无：单层保温）"), QString()});
    for (const insulation::Material& m : insulation::builtInMaterials()) {
        choices.append({QStringLiteral("%1（≤%2 ℃）").arg(qs(m.name), qs(formatShortest(m.useUpTo))), qs(m.name)});
    }
    for (const OwnMaterial& m : d.ownMaterials) {
        const QString limit = m.useUpTo ? QStringLiteral("，≤%1 ℃").arg(qs(formatShortest(*m.useUpTo))) : QString();
        choices.append({QStringLiteral("%1（自定义%2）").arg(qs(m.name), limit), qs(m.name)});
    }
    return choices;
}

QList<ListChoice> jacketChoices()
{
    QList<ListChoice> choices{{QStringLiteral("（无：输入黑度）"), QString()}};
    for (const insulation::Jacket& j : insulation::jackets()) {
        choices.append({QStringLiteral("%1（黑度 %2~%3）").arg(qs(j.name), qs(formatShortest(j.emissivityLow)),
                                                           qs(formatShortest(j.emissivityHigh))),
                        qs(j.name)});
    }
    return choices;
}

}  // namespace

QWidget* frmguanxian::createInsulationWidgets(QWidget* parent)
{
    constructions_ = new ConstructionModel(model_, this);
    materials_ = new OwnMaterialModel(model_, this);
    auto* page = new QWidget(parent);
    tblbaowen = new PipelineTableView(constructions_, page);
    tblbaowen->setObjectName(QStringLiteral("tblbaowen"));
    const auto materials = [this](bool outer) { return [this, outer] { return materialChoices(model_->document(), outer); }; };
    tblbaowen->pickFromList(static_cast<int>(ConstructionColumn::innerMaterial), materials(false));
    tblbaowen->pickFromList(static_cast<int>(ConstructionColumn::outerMaterial), materials(true));
    tblbaowen->pickFromList(static_cast<int>(ConstructionColumn::jacket), jacketChoices);
    tblcailiao = new PipelineTableView(materials_, page);
    tblcailiao->setObjectName(QStringLiteral("tblcailiao"));
    cmdtianjiazuofa = pageButton(page, "cmdtianjiazuofa", QStringLiteral("添加做法"));
    cmdshanchuzuofa = pageButton(page, "cmdshanchuzuofa", QStringLiteral("删除做法"));
    cmdtianjiacailiao = pageButton(page, "cmdtianjiacailiao", QStringLiteral("添加材料"));
    cmdshanchucailiao = pageButton(page, "cmdshanchucailiao", QStringLiteral("删除材料"));
    lblbaowen = new QLabel(page);
    lblbaowen->setObjectName(QStringLiteral("lblbaowen"));
    lblbaowen->setStyleSheet(QStringLiteral("color: #b00000"));
    lblbaowen->setFixedHeight(lblbaowen->fontMetrics().lineSpacing() + 4);
    lblbaowen->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* windHint = new QLabel(QStringLiteral("风速低于约 1 m/s 时宜输入 0"), page);
    windHint->setStyleSheet(QStringLiteral("color: #606060"));

    const QString rule = QStringLiteral("按规范：环境温度不高于 25 ℃ 时 50 ℃，否则环境温度 + 25 ℃");
    txtbiaomianwendu = settingBox(page, "txtbiaomianwendu", QStringLiteral("空着时") + rule);
    txtbiaomianwendu->setPlaceholderText(QStringLiteral("按规范"));
    cboyunxing = new QComboBox(page);
    cboyunxing->setObjectName(QStringLiteral("cboyunxing"));
    cboyunxing->addItems({QStringLiteral("常年运行"), QStringLiteral("季节运行")});
    cboyunxing->setToolTip(QStringLiteral("决定最大允许热损失取哪一栏"));
    txtrejia = settingBox(page, "txtrejia", QStringLiteral("热价，元/GJ"));
    txtxiaoshi = settingBox(page, "txtxiaoshi", QStringLiteral("每年运行小时数，常年运行约 8000 h"));
    txtcailiaojia = settingBox(page, "txtcailiaojia", QStringLiteral("保温材料（含施工）价格，元/m³"));
    txtwaihujia = settingBox(page, "txtwaihujia", QStringLiteral("外护层（含施工）价格，元/m²"));
    txtnianxian = settingBox(page, "txtnianxian", QStringLiteral("投资计算年限，整年"));
    txtlilv = settingBox(page, "txtlilv", QStringLiteral("年利率，%，如 8"));

    auto* top = new QHBoxLayout;
    top->addWidget(cmdtianjiazuofa);
    top->addWidget(cmdshanchuzuofa);
    top->addSpacing(12);
    top->addWidget(windHint);
    top->addStretch();
    auto* upper = new QWidget(page);
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->addLayout(top);
    upperLayout->addWidget(tblbaowen, 1);
    upperLayout->addWidget(lblbaowen);

    auto* materialButtons = new QHBoxLayout;
    materialButtons->addWidget(new QLabel(QStringLiteral("自定义材料：λ = a + b·tm + c·tm²"), page));
    materialButtons->addStretch();
    materialButtons->addWidget(cmdtianjiacailiao);
    materialButtons->addWidget(cmdshanchucailiao);
    auto* materialPart = new QVBoxLayout;
    materialPart->addLayout(materialButtons);
    materialPart->addWidget(tblcailiao, 1);
    auto* settings = new QGroupBox(QStringLiteral("校核限值与经济厚度"), page);
    settings->setObjectName(QStringLiteral("grpbaowenshezhi"));
    auto* grid = new QGridLayout(settings);
    const std::pair<const char*, QWidget*> fields[] = {
        {"表面温度限值(℃)", txtbiaomianwendu}, {"运行方式", cboyunxing},     {"热价(元/GJ)", txtrejia},
        {"年运行小时数(h)", txtxiaoshi},        {"保温材料价格(元/m³)", txtcailiaojia}, {"外护层价格(元/m²)", txtwaihujia},
        {"计算年限(年)", txtnianxian},          {"年利率(%)", txtlilv}};
    for (int i = 0; i < static_cast<int>(std::size(fields)); ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(fields[i].first), settings), i / 2, (i % 2) * 2);
        grid->addWidget(fields[i].second, i / 2, (i % 2) * 2 + 1);
    }
    grid->setRowStretch(static_cast<int>(std::size(fields)) / 2, 1);
    auto* lower = new QWidget(page);
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addLayout(materialPart, 1);
    lowerLayout->addWidget(settings);

    auto* split = new QSplitter(Qt::Vertical, page);
    split->addWidget(upper);
    split->addWidget(lower);
    split->setSizes({200, 160});
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);
    // Scrolled where the window is narrower than the page, which so asks no width of the window.
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(QStringLiteral("scrbaowen"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    return scroll;
}

void frmguanxian::createInsulationConnections()
{
    connect(cmdtianjiazuofa, &QPushButton::clicked, this, &frmguanxian::addConstruction);
    connect(cmdshanchuzuofa, &QPushButton::clicked, this, &frmguanxian::deleteConstructions);
    connect(cmdtianjiacailiao, &QPushButton::clicked, this, &frmguanxian::addMaterial);
    connect(cmdshanchucailiao, &QPushButton::clicked, this, &frmguanxian::deleteMaterials);
    connect(constructions_, &ConstructionModel::refused, lblbaowen, &QLabel::setText);
    connect(materials_, &OwnMaterialModel::refused, lblbaowen, &QLabel::setText);
    for (QLineEdit* box : settingBoxes()) connect(box, &QLineEdit::textEdited, this, &frmguanxian::settingsEdited);
    connect(cboyunxing, &QComboBox::activated, this, &frmguanxian::settingsEdited);
    connect(mbaowenhoudu, &QAction::triggered, this, &frmguanxian::designThicknesses);
    connect(model_, &PipelineModel::calculated, this, &frmguanxian::showInsulation);
}

QList<QLineEdit*> frmguanxian::settingBoxes() const
{
    return {txtbiaomianwendu, txtrejia, txtxiaoshi, txtcailiaojia, txtwaihujia, txtnianxian, txtlilv};
}

void frmguanxian::settingsEdited()
{
    PipelineDocument d = model_->document();
    QString why;
    int key = kFirstSettingsKey;  // the operation's
    for (std::size_t i = 0; i < std::size(kSettings); ++i) {
        const SettingBox& s = kSettings[i];
        QLineEdit* box = settingBoxes()[static_cast<qsizetype>(i)];
        if (sender() == box) key = kFirstSettingsKey + 1 + static_cast<int>(i);
        QString refusal;
        const std::optional<double> value = settingIn(box, s, &refusal);
        if (refusal.isEmpty()) d.insulation.*s.value = value;  // a number the file would refuse stays out of the document
        if (why.isEmpty()) why = refusal;
    }
    d.insulation.seasonal = cboyunxing->currentIndex() == 1;
    model_->changeDocument(d, QStringLiteral("编辑保温设置"), key);
    lblbaowen->setText(why);
}

void frmguanxian::showInsulation()
{
    const PipelineDocument& d = model_->document();
    const QList<QLineEdit*> boxes = settingBoxes();
    for (std::size_t i = 0; i < std::size(kSettings); ++i) {
        showSetting(boxes[static_cast<qsizetype>(i)], kSettings[i], d.insulation.*kSettings[i].value);
    }
    cboyunxing->setCurrentIndex(d.insulation.seasonal ? 1 : 0);
    lblbaowen->clear();
    // The insulation columns only where a pipe is insulated, those of the energy balance only under its law.
    const std::vector<Column> shown = tableColumns(d);
    for (int c = 0; c < kColumnCount; ++c) {
        const bool hidden = std::find(shown.begin(), shown.end(), static_cast<Column>(c)) == shown.end();
        if (tblguanduan->isColumnHidden(c) != hidden) tblguanduan->setColumnHidden(c, hidden);
    }
}

void frmguanxian::addConstruction()
{
    PipelineDocument d = model_->document();
    if (d.constructions.size() >= kMostConstructions) {
        showMessage(QStringLiteral("保温做法最多 %1 个").arg(kMostConstructions));
        return;
    }
    d.constructions.push_back({.name = newConstructionName(d)});
    model_->changeDocument(d, QStringLiteral("添加保温做法"));
    tblbaowen->setFocus();
    tblbaowen->setCurrentIndex(constructions_->index(constructions_->rowCount() - 1, static_cast<int>(ConstructionColumn::innerMaterial)));
}

void frmguanxian::deleteConstructions()
{
    const std::vector<std::size_t> rows = pickedRows(tblbaowen);
    if (rows.empty()) return;
    PipelineDocument d = model_->document();
    QStringList used;
    for (const std::size_t row : rows) {
        if (const std::string why = constructionInUse(d, d.constructions[row].name); !why.empty()) used << qs(why);
    }
    if (!used.isEmpty()) return showMessage(used.join(QStringLiteral("\r\n")));
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) d.constructions.erase(d.constructions.begin() + static_cast<std::ptrdiff_t>(*it));
    model_->changeDocument(d, QStringLiteral("删除保温做法"));
}

void frmguanxian::addMaterial()
{
    PipelineDocument d = model_->document();
    if (d.ownMaterials.size() >= kMostConstructions) {
        showMessage(QStringLiteral("自定义材料最多 %1 种").arg(kMostConstructions));
        return;
    }
    d.ownMaterials.push_back({.name = newMaterialName(d)});
    model_->changeDocument(d, QStringLiteral("添加自定义材料"));
    tblcailiao->setFocus();
    tblcailiao->setCurrentIndex(materials_->index(materials_->rowCount() - 1, static_cast<int>(MaterialColumn::name)));
}

void frmguanxian::deleteMaterials()
{
    const std::vector<std::size_t> rows = pickedRows(tblcailiao);
    if (rows.empty()) return;
    PipelineDocument d = model_->document();
    QStringList used;
    for (const std::size_t row : rows) {
        if (const std::string why = materialInUse(d, d.ownMaterials[row].name); !why.empty()) used << qs(why);
    }
    if (!used.isEmpty()) return showMessage(used.join(QStringLiteral("\r\n")));
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) d.ownMaterials.erase(d.ownMaterials.begin() + static_cast<std::ptrdiff_t>(*it));
    model_->changeDocument(d, QStringLiteral("删除自定义材料"));
}

void frmguanxian::designThicknesses()
{
    const PipelineDocument document = model_->document();
    std::vector<ThicknessDesign> designs;
    for (const int row : selectedRows()) {
        if (document.segments[static_cast<std::size_t>(row)].heatLossSource != HeatLossSource::insulated) continue;
        designs.push_back(designThicknessInEveryCase(document, model_->results(), static_cast<std::size_t>(row)));
    }
    if (designs.empty()) {
        showMessage(QStringLiteral("请先在管段表中选择按保温做法计算热损失的管段（热损失取值为“保温：…”）"));
        return;
    }
    ThicknessDialog dialog(document, std::move(designs), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const ThicknessesApplied applied = applyThicknesses(document, dialog.chosen());
    if (!applied.refusal.empty()) return showMessage(qs(applied.refusal));
    model_->changeDocument(applied.document, QStringLiteral("保温厚度计算"));
}

}  // namespace dorvent
