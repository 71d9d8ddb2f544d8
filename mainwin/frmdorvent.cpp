#include "mainwin/frmdorvent.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include "mainwin/songfont.h"
#include "mainwin/steaminput.h"

namespace dorvent {
namespace {

constexpr double kMainFontSize = 12.0;
constexpr double kFrameFontSize = 9.0;
constexpr double kResultFontSize = 10.5;

template <typename Widget>
Widget* makeControl(QWidget* parent, const char* name, double pointSize = kMainFontSize)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setFont(songFont(pointSize));
    return widget;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption)
{
    auto* frame = makeControl<QGroupBox>(parent, name, kFrameFontSize);
    frame->setTitle(caption);
    return frame;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* label = makeControl<QLabel>(parent, name);
    label->setText(caption);
    placeTwips(label, left, top, 0, 0);
    label->adjustSize();  // labels size themselves to their caption
    return label;
}

/// Fills a list without selecting anything, as a list the program fills starts out.
void fillList(QComboBox* list, const QStringList& entries)
{
    const QSignalBlocker quiet(list);
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

std::string text(const QLineEdit* box) { return box->text().toStdString(); }
std::string text(const QComboBox* list) { return list->currentText().toStdString(); }

}  // namespace

frmdorvent::frmdorvent(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmdorvent"));
    setWindowTitle(QStringLiteral("Dorvent"));
    setFont(songFont(kMainFontSize));
    createWidgets();
    createConnections();
    Form_Load();
}

void frmdorvent::createWidgets()
{
    auto* client = new QWidget(this);
    client->setFixedSize(718, 479);  // 10770 x 7185 twips
    setCentralWidget(client);

    Frame1 = makeFrame(client, "Frame1", QStringLiteral("蒸汽参数"));
    placeTwips(Frame1, 120, 0, 4215, 4215);
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("蒸汽绝对压力"), 240, 360);
    Combo1 = makeControl<QComboBox>(Frame1, "Combo1");
    placeTwips(Combo1, 3000, 240, 1095, 360);
    Text1 = makeControl<QLineEdit>(Frame1, "Text1");
    placeTwips(Text1, 1800, 240, 1095, 375);
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("蒸汽温度"), 240, 840);
    Text2 = makeControl<QLineEdit>(Frame1, "Text2");
    placeTwips(Text2, 1800, 720, 1095, 375);
    Combo2 = makeControl<QComboBox>(Frame1, "Combo2");
    placeTwips(Combo2, 3000, 720, 1095, 360);
    Text3 = makeControl<QPlainTextEdit>(Frame1, "Text3", kResultFontSize);
    Text3->setReadOnly(true);
    placeTwips(Text3, 120, 1680, 3975, 2415);

    setTabOrder(Combo1, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Combo2);
    setTabOrder(Combo2, Text3);
}

void frmdorvent::createConnections()
{
    connect(Text1, &QLineEdit::textChanged, this, &frmdorvent::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &frmdorvent::Text2_Change);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &frmdorvent::Combo1_Click);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &frmdorvent::Combo2_Click);
}

void frmdorvent::Form_Load()
{
    fillList(Combo1, {QStringLiteral("MPa"), QStringLiteral("kPa"), QStringLiteral("kgf/cm2")});
    Combo1->setCurrentIndex(0);
    fillList(Combo2, {QStringLiteral("℃"), QStringLiteral("K")});
    Combo2->setCurrentIndex(0);
}

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

}  // namespace dorvent
