// Insulation in the pipeline window, as the user sees it: the construction and own-material tables,
// the settings, the heat-loss source picked from the document's constructions, the insulation
// columns, and the thickness design.

#include "guitest.h"
#include "insulation/allowedloss.h"
#include "insulation/economics.h"
#include "insulation/thickness.h"
#include "numtext/formatnumber.h"
#include "pipeline/thicknessdesign.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

/// Two DN300 pipes in 20 ℃ air from 1.6 MPa and 450 ℃ carrying 8 t/h: "主线" of 10 m, then "支线" of 2 km,
/// which starts nearly as hot.
PipelineDocument twoPipes()
{
    PipelineDocument d{.startPressure = 1.6, .startTemperature = 450};
    for (const auto& [label, length] : {std::pair("主线", 10.0), std::pair("支线", 2000.0)})
        d.segments.push_back({.label = label, .dn = 300, .length = length, .flow = 8, .zeta = 0.2, .beta = 0.2, .phi = 1,
                              .ambient = 20, .dropPerKm = 5, .heatLossSource = HeatLossSource::overhead});
    return d;
}

/// The same, both insulated by 80 mm of aluminium silicate felt under 60 mm of rock wool in aluminium alloy
/// sheet in a wind of 3 m/s ("主线保温"), with the prices of an economic thickness.
PipelineDocument insulatedPipes()
{
    PipelineDocument d = twoPipes();
    d.constructions.push_back({.name = "主线保温", .inner = {"硅酸铝棉毡", 80}, .outer = {"岩棉", 60}, .jacket = "铝合金薄板", .wind = 3});
    for (PipelineSegment& s : d.segments) std::tie(s.heatLossSource, s.construction) = std::tuple(HeatLossSource::insulated, "主线保温");
    d.insulation = {.heatPrice = 60, .hours = 8000, .insulationPrice = 1200, .jacketPrice = 150, .years = 6, .interest = 0.1};
    return d;
}

class InsulationWindow : public PipelineWindow {
protected:
    InsulationWindow() { in<QTabWidget>("tabtu")->setCurrentIndex(2); }

    static QString textAt(const QAbstractItemView* view, int row, int column) { return view->model()->index(row, column).data().toString(); }
    static QStringList rowOf(const QAbstractItemView* view, int row)
    {
        QStringList texts;
        for (int c = 0; c < view->model()->columnCount(); ++c) texts << textAt(view, row, c);
        return texts;
    }
    /// Types into a cell as the keyboard does after F2, over its text; Enter ends the edit.
    static void retype(QAbstractItemView* view, int row, int column, const QString& keys)
    {
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
        QTest::keyClick(view, Qt::Key_F2);
        if (auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget())) box->selectAll();
        press(keys);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    /// The cell's list as it opens: the texts it shows. With choice, the entry showing it is clicked.
    static QStringList list(QAbstractItemView* view, int row, int column, const QString& choice = {})
    {
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
        QTest::keyClick(view, Qt::Key_F2);
        auto* box = qobject_cast<QComboBox*>(QApplication::focusWidget());
        if (box == nullptr) return {"(no list)"};
        QStringList shown;
        for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
        if (choice.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            box->showPopup();
            const QRect entry = box->view()->visualRect(box->view()->model()->index(box->findText(choice), 0));
            QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, {}, entry.center());
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the editor gone
        QApplication::setActiveWindow(view->window());  // as a window manager hands it back after the popup
        return shown;
    }
    std::vector<bool> insulationColumnsHidden() const
    {
        std::vector<bool> hidden;
        for (int c = static_cast<int>(kFirstInsulationColumn); c <= static_cast<int>(kLastInsulationColumn); ++c) hidden.push_back(table->isColumnHidden(c));
        return hidden;
    }
    /// Triggers 保温厚度计算 for the pipes from first to last and hands its dialog to look, which closes it.
    void design(int first, int last, const std::function<void(QWidget&)>& look)
    {
        table->setCurrentIndex(cell(first, Column::label));
        select(first, Column::label, last, Column::label);
        int shown = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal->objectName() != QLatin1String("dlghoudu")) return;
            watch.stop();
            ++shown;
            look(*modal);
        });
        watch.start(20);
        action("mbaowenhoudu");
        EXPECT_EQ(shown, 1);
    }

    PipelineTableView* constructions = in<PipelineTableView>("tblbaowen");
    PipelineTableView* materials = in<PipelineTableView>("tblcailiao");
};

constexpr int kName = 0, kInner = 1, kInnerThickness = 2, kOuter = 3, kOuterThickness = 4, kJacket = 5, kEmissivity = 6, kWind = 7, kUsers = 8;

/// The texts of a row's cells in these columns.
QStringList tableTexts(const QTableWidget& table, int row, std::initializer_list<int> columns)
{
    QStringList texts;
    for (const int column : columns) texts << (table.item(row, column) != nullptr ? table.item(row, column)->text() : QStringLiteral("(none)"));
    return texts;
}

TEST_F(InsulationWindow, AConstructionIsBuiltInItsTablePickedForAPipeAndUndoneStepByStep)
{
    model->resetDocument(twoPipes());
    std::vector<std::string> states = {now()};
    const auto step = [&] { states.push_back(now()); };
    EXPECT_EQ(insulationColumnsHidden(), std::vector<bool>(4, true));  // no pipe insulated
    button("cmdtianjiazuofa"), step();
    retype(constructions, 0, kName, "主线保温"), step();
    // The materials' list: the built-in ones with their limits, no own one yet; the outer one may be none.
    const QStringList inner = list(constructions, 0, kInner, QStringLiteral("硅酸铝棉毡（≤800 ℃）"));
    step();
    EXPECT_EQ(std::pair(inner.mid(0, 3), inner.size()), std::pair(QStringList({"硅酸钙（≤550 ℃）", "复合硅酸盐（≤450 ℃）", "岩棉（≤400 ℃）"}), qsizetype(7)));
    retype(constructions, 0, kInnerThickness, "80"), step();
    EXPECT_EQ(list(constructions, 0, kOuter, QStringLiteral("岩棉（≤400 ℃）")).first(), "（无：单层保温）");
    step();
    retype(constructions, 0, kOuterThickness, "60"), step();
    EXPECT_EQ(list(constructions, 0, kJacket, QStringLiteral("铝合金薄板（黑度 0.15~0.3）")).first(), "（无：输入黑度）");
    step();
    // No wind yet: the construction's wind cell asks for it; 0.5 m/s is taken, with the hint to enter 0.
    const auto windTip = [this] { return constructions->model()->index(0, kWind).data(Qt::ToolTipRole).toString(); };
    EXPECT_EQ(windTip(), "请输入风速；室内或无风时输入 0");
    retype(constructions, 0, kWind, "0.5"), step();
    EXPECT_TRUE(windTip().startsWith("风速低于约 1 m/s 时宜输入 0"));
    retype(constructions, 0, kWind, "3"), step();
    // The emissivity used is the middle of the jacket's range, until one is typed.
    EXPECT_EQ(rowOf(constructions, 0), QStringList({"主线保温", "硅酸铝棉毡", "80", "岩棉", "60", "铝合金薄板", "0.225", "3", ""}));
    EXPECT_EQ(constructions->model()->index(0, kEmissivity).data(Qt::EditRole).toString(), "");
    retype(constructions, 0, kEmissivity, "0.8"), step();
    EXPECT_EQ(textAt(constructions, 0, kEmissivity), "0.8");
    undo();
    states.pop_back();

    // The pipe's sources end in the document's construction; picked, the pipe computes from it.
    EXPECT_EQ(list(table, 0, static_cast<int>(Column::heatLossSource), QStringLiteral("保温：主线保温")),
              QStringList({"输入", "架空", "不通行地沟", "通行地沟", "保温：主线保温"}));
    step();
    EXPECT_EQ(insulationColumnsHidden(), std::vector<bool>(4, false));
    // Its start as InsulatedPipe computes the same pipe, insulated the same (tests/data/insulation_reference.py).
    EXPECT_EQ(QStringList({text(0, Column::heatLossSource), textAt(constructions, 0, kUsers), text(0, Column::surfaceTemperature)}),
              QStringList({"保温：主线保温", "1 主线", "32.737"}));

    // Every edit was one step: undone one by one, each state comes back, and the columns hide again.
    ASSERT_EQ(model->undoStack()->count() + 1, static_cast<int>(states.size()));
    for (int i = static_cast<int>(states.size()) - 2; i >= 0; --i) {
        undo();
        EXPECT_EQ(now(), states[static_cast<std::size_t>(i)]) << "after undoing to step " << i;
    }
    EXPECT_EQ(std::pair(insulationColumnsHidden(), constructions->model()->rowCount()), std::pair(std::vector<bool>(4, true), 0));
}

TEST_F(InsulationWindow, ARenameFollowsIntoThePipesAndAConstructionInUseStays)
{
    PipelineDocument d = insulatedPipes();
    d.segments[1].label.clear();
    d.constructions.push_back({.name = "备用", .inner = {"岩棉", 50}, .emissivity = 0.9, .wind = 0});
    model->resetDocument(d);
    EXPECT_EQ(textAt(constructions, 0, kUsers), "1 主线、2");
    retype(constructions, 0, kName, "干线保温");
    EXPECT_EQ(std::pair(text(0, Column::heatLossSource), text(1, Column::heatLossSource)),
              std::pair(QStringLiteral("保温：干线保温"), QStringLiteral("保温：干线保温")));
    // A name another construction has is refused; the cell keeps its own and says why.
    retype(constructions, 0, kName, "备用");
    EXPECT_EQ(std::tuple(textAt(constructions, 0, kName), shows("lblbaowen"), model->undoStack()->count()),
              std::tuple(QStringLiteral("干线保温"), QStringLiteral("已有名为“备用”的保温做法"), 1));

    const std::string before = now();
    constructions->setCurrentIndex(constructions->model()->index(0, kWind));
    button("cmdshanchuzuofa");
    EXPECT_EQ(messages.texts, QStringList({"保温做法“干线保温”正被管段 1 主线、2 使用，不能删除"}));
    EXPECT_EQ(std::pair(now(), model->undoStack()->count()), std::pair(before, 1));
    constructions->setCurrentIndex(constructions->model()->index(1, kName));
    button("cmdshanchuzuofa");
    EXPECT_EQ(std::pair(constructions->model()->rowCount(), model->undoStack()->count()), std::pair(1, 2));
    undo(2);
    EXPECT_EQ(model->document(), d);  // the rename undone in the pipes too
}

TEST_F(InsulationWindow, WhatTheFileWouldRefuseIsRefusedInTheCell)
{
    model->resetDocument(insulatedPipes());
    const std::string before = now();
    const char *const thickness = "厚度应大于 0 且不大于 1000 mm", *const emissivity = "黑度应大于 0 且不大于 1", *const wind = "风速应在 0 至 100 m/s 之间";
    const std::tuple<int, const char*, const char*> refused[] = {
        {kInnerThickness, "0", thickness}, {kOuterThickness, "1000.5", thickness}, {kEmissivity, "1.01", emissivity},
        {kEmissivity, "0", emissivity}, {kWind, "-0.5", wind}, {kWind, "100.5", wind}, {kWind, "abc", "“abc”不是数值"},
        {kInner, "玻璃钢", "没有名为“玻璃钢”的保温材料"}, {kJacket, "铁皮", "没有名为“铁皮”的外护层"},
    };
    for (const auto& [column, text, why] : refused) {
        paste(constructions, 0, column, text);
        EXPECT_EQ(std::pair(now(), shows("lblbaowen")), std::pair(before, QString(why))) << text;
    }
    EXPECT_EQ(model->undoStack()->count(), 0);
    // The limits themselves are taken: 1000 mm, ε 1, no wind.
    for (const auto& [column, text] : {std::pair(kOuterThickness, "1000"), std::pair(kEmissivity, "1"), std::pair(kWind, "0")}) {
        paste(constructions, 0, column, text);
        EXPECT_EQ(std::pair(textAt(constructions, 0, column), shows("lblbaowen")), std::pair(QString(text), QString()));
    }
    const PipelineFileRead read = readPipelineFile(now());
    EXPECT_EQ(read.document, std::optional(model->document())) << read.error;
}

TEST_F(InsulationWindow, OwnMaterialsAreListedFollowedByTheirConstructionsAndKeptWhileUsed)
{
    model->resetDocument(insulatedPipes());
    button("cmdtianjiacailiao");
    paste(materials, 0, 0, "泡沫玻璃\t0.045\t0.00017\t0\t400");
    EXPECT_EQ(rowOf(materials, 0), QStringList({"泡沫玻璃", "0.045", "0.00017", "0", "400", ""}));
    EXPECT_EQ(list(constructions, 0, kOuter, QStringLiteral("泡沫玻璃（自定义，≤400 ℃）")).last(), "泡沫玻璃（自定义，≤400 ℃）");
    EXPECT_EQ(textAt(constructions, 0, kOuter), "泡沫玻璃");
    // A built-in name is refused; a rename follows into the construction.
    retype(materials, 0, 0, "岩棉");
    EXPECT_EQ(std::pair(textAt(materials, 0, 0), shows("lblbaowen")), std::pair(QStringLiteral("泡沫玻璃"), QStringLiteral("“岩棉”是内置材料的名称")));
    retype(materials, 0, 0, "泡沫玻璃板");
    EXPECT_EQ(std::pair(textAt(constructions, 0, kOuter), textAt(materials, 0, 5)), std::pair(QStringLiteral("泡沫玻璃板"), QStringLiteral("主线保温")));
    materials->setCurrentIndex(materials->model()->index(0, 1));
    button("cmdshanchucailiao");
    EXPECT_EQ(std::pair(messages.texts, materials->model()->rowCount()), std::pair(QStringList({"材料“泡沫玻璃板”正被保温做法“主线保温”使用，不能删除"}), 1));
}

TEST_F(InsulationWindow, SettingsAreTypedUndoneBoxByBoxAndChangeTheChecks)
{
    model->resetDocument(insulatedPipes());
    PipelineDocument expected = insulatedPipes();
    EXPECT_EQ(std::pair(shows("txtlilv"), in<QLineEdit>("txtbiaomianwendu")->placeholderText()),
              std::pair(QStringLiteral("10"), QStringLiteral("按规范")));
    typeOver("txtlilv", "7.5");
    typeOver("txtrejia", "85");
    std::tie(expected.insulation.interest, expected.insulation.heatPrice) = std::tuple(0.075, 85);
    EXPECT_EQ(std::pair(model->document(), model->undoStack()->count()), std::pair(expected, 2));
    // Half a year stays out of the document, and the box says why below the table.
    typeOver("txtnianxian", "0.5");
    EXPECT_EQ(std::pair(model->document(), shows("lblbaowen")), std::pair(expected, QStringLiteral("计算年限应为 1 至 100 的整年数")));
    // A surface limit of 30 ℃ flags the pipe's 32.737 ℃; seasonal operation has no allowed loss at 450 ℃.
    typeOver("txtbiaomianwendu", "30");
    auto* operation = in<QComboBox>("cboyunxing");
    operation->setFocus();
    QTest::keyClick(operation, Qt::Key_Down);
    EXPECT_EQ(std::pair(model->document().insulation.surfaceLimit, model->document().insulation.seasonal), std::pair(std::optional(30.0), true));
    EXPECT_TRUE(text(0, Column::remark).startsWith("表面温度 32.737 ℃ 高于限值 30 ℃") && text(0, Column::allowedLoss) == "—")
        << text(0, Column::remark).toStdString();
    undo(4);
    EXPECT_EQ(std::tuple(model->document(), shows("txtlilv"), shows("txtrejia"), operation->currentText()),
              std::tuple(insulatedPipes(), QStringLiteral("10"), QStringLiteral("60"), QStringLiteral("常年运行")));
}

TEST_F(InsulationWindow, TheThicknessDesignShowsTheCoresAnswerAndMakesAThicknessOfItsOwnForAPipeOfASharedConstruction)
{
    model->resetDocument(insulatedPipes());
    const PipelineDocument before = model->document();
    // Outer rock wool varied on the DN300 (325 mm) at the pipe's start, 450 ℃, in 20 ℃ air and a wind of 3 m/s.
    const insulation::Construction layers{325, {*insulation::findMaterial("硅酸铝棉毡"), 80}, insulation::Layer{*insulation::findMaterial("岩棉"), 60}};
    const insulation::Surroundings around{450, 20, 3, 0.225};
    const insulation::Prices prices{60, 8000, 1200, 150, 6, 0.1};
    const double least = *insulation::leastThickness(layers, around, {50, insulation::allowedHeatLoss(450, insulation::Operation::yearRound)});
    const insulation::Candidate economic = *insulation::economicThicknessBySearch(layers, around, prices);
    const auto candidates = *insulation::candidateTable(layers, around, prices);
    const double chosen = std::max(least, economic.thickness);
    ASSERT_NE(chosen, 60);  // else nothing would be applied
    design(0, 0, [&](QWidget& dialog) {
        const auto* perPipe = control<QTableWidget>(dialog, "tblhoudu");
        EXPECT_EQ(perPipe->rowCount(), 1);
        EXPECT_EQ(tableTexts(*perPipe, 0, {0, 2, 4, 5, 6, 7, 8}), QStringList({"1 主线", "450.000", "60", qs(formatShortest(least)),
                                                                                qs(formatShortest(economic.thickness)), "—", qs(formatShortest(chosen))}));
        const auto* trials = control<QTableWidget>(dialog, "tblhouxuan");
        ASSERT_EQ(trials->rowCount(), static_cast<int>(candidates.size()));
        for (int row = 0; row < trials->rowCount(); ++row) {
            const insulation::Candidate& c = candidates[static_cast<std::size_t>(row)];
            EXPECT_EQ(tableTexts(*trials, row, {0, 1, 2, 3, 7}),
                      QStringList({qs(formatShortest(c.thickness)), qs(formatFixed(c.loss.perMetre, 3)), qs(formatFixed(c.loss.surfaceTemperature, 3)),
                                   qs(formatFixed(c.loss.perSquareMetre, 3)), qs(formatFixed(c.yearlyCost, 2))}));
            EXPECT_EQ(tableTexts(*trials, row, {8})[0].contains("◀ 采用"), c.thickness == chosen) << c.thickness;
        }
        control<QPushButton>(dialog, "cmdyingyong")->click();
    });
    // 主线 gets a construction of its own; 支线 keeps the shared one as it was. One step undoes it.
    const QString own = QStringLiteral("主线保温 %1mm").arg(chosen);
    EXPECT_EQ(std::pair(text(0, Column::heatLossSource), text(1, Column::heatLossSource)), std::pair("保温：" + own, QStringLiteral("保温：主线保温")));
    EXPECT_EQ(rowOf(constructions, 1).mid(0, 5), QStringList({own, "硅酸铝棉毡", "80", "岩棉", QString::number(chosen)}));
    EXPECT_EQ(std::pair(rowOf(constructions, 0).mid(0, 5), model->undoStack()->count()),
              std::pair(QStringList({"主线保温", "硅酸铝棉毡", "80", "岩棉", "60"}), 1));
    undo();
    EXPECT_EQ(model->document(), before);

    // Both pipes picked: the shared construction itself takes the thickness. 取消 changes nothing.
    design(0, 1, [](QWidget& dialog) { control<QPushButton>(dialog, "cmdquxiao")->click(); });
    EXPECT_EQ(std::pair(model->document(), model->undoStack()->index()), std::pair(before, 0));
    design(0, 1, [](QWidget& dialog) { control<QPushButton>(dialog, "cmdyingyong")->click(); });
    EXPECT_EQ(std::tuple(constructions->model()->rowCount(), textAt(constructions, 0, kOuterThickness), text(1, Column::heatLossSource)),
              std::tuple(1, QString::number(chosen), QStringLiteral("保温：主线保温")));
}

TEST_F(InsulationWindow, WithoutPricesTheDesignSaysWhichAndOffersTheLeastThicknessForOneLayerBesideTheFormula)
{
    PipelineDocument d = insulatedPipes();
    d.constructions[0] = {.name = "主线保温", .inner = {"复合硅酸盐"}, .jacket = "有光泽的镀锌薄钢板", .wind = 0};  // no thickness yet
    d.insulation.heatPrice = d.insulation.interest = std::nullopt;
    model->resetDocument(d);
    const insulation::Construction layer{325, {*insulation::findMaterial("复合硅酸盐"), 10}, std::nullopt};
    const insulation::Surroundings around{450, 20, 0, 0.25};
    const double least = *insulation::leastThickness(layer, around, {50, insulation::allowedHeatLoss(450, insulation::Operation::yearRound)});
    design(0, 1, [&](QWidget& dialog) {
        EXPECT_TRUE(shownIn(dialog, "lblhoudu").endsWith("未给出经济厚度所需的热价、年利率（在“保温做法”页填写），只给出最小厚度。"));
        // The first pipe, which stops for want of a thickness, is designed; the one after it has no start.
        const auto* perPipe = control<QTableWidget>(dialog, "tblhoudu");
        EXPECT_EQ(tableTexts(*perPipe, 0, {4, 5, 6, 8}) + tableTexts(*perPipe, 1, {5, 9}),
                  QStringList({"—", qs(formatShortest(least)), "—", qs(formatShortest(least)), "", "管段的起点状态未能算出"}));
        control<QPushButton>(dialog, "cmdquxiao")->click();
    });
    // With the prices, the formula of one layer beside the search: its thickness rounded up, and as worked out.
    d.insulation = insulatedPipes().insulation;
    model->changeDocument(d, "prices");
    const insulation::Prices prices{60, 8000, 1200, 150, 6, 0.1};
    const auto closed = *insulation::economicThicknessClosedForm(layer, around, prices);
    const double economic = insulation::economicThicknessBySearch(layer, around, prices)->thickness;
    design(0, 1, [&](QWidget& dialog) {
        EXPECT_EQ(tableTexts(*control<QTableWidget>(dialog, "tblhoudu"), 0, {7})[0],
                  QStringLiteral("%1（%2）").arg(qs(formatShortest(closed.rounded)), qs(formatFixed(closed.exact, 1))));
        control<QPushButton>(dialog, "cmdyingyong")->click();
    });
    // Both pipes picked, one designed: the construction itself takes the thickness.
    EXPECT_EQ(std::pair(constructions->model()->rowCount(), textAt(constructions, 0, kInnerThickness)),
              std::pair(1, qs(formatShortest(std::max(least, economic)))));
}

TEST(ThicknessesApplied, ACopyIsNamedAfterItsConstructionAndThicknessOrTakenWhereTheSameIsThere)
{
    // Three pipes share "主线保温" (outer rock wool 60 mm); the first two get 100 and 120 mm, the third nothing.
    PipelineDocument d = insulatedPipes();
    d.segments.push_back(d.segments.back());
    d.constructions.push_back(d.constructions[0]);
    std::tie(d.constructions[1].name, d.constructions[1].jacket) = std::tuple("主线保温 100mm", "不锈钢薄板");  // another of the copy's name
    d.constructions.push_back(d.constructions[0]);
    std::tie(d.constructions[2].name, d.constructions[2].outer.thickness) = std::tuple("主线保温 120mm", 120);  // just the copy at 120 mm
    const ThicknessesApplied applied = applyThicknesses(d, {{0, 100.0}, {1, 120.0}, {2, std::nullopt}});
    EXPECT_EQ(std::tuple(applied.refusal, applied.document.segments[0].construction, applied.document.segments[1].construction,
                         applied.document.segments[2].construction, applied.document.constructions.size()),
              std::tuple(std::string(), std::string("主线保温 100mm（2）"), std::string("主线保温 120mm"), std::string("主线保温"), 4u));
    EXPECT_EQ(std::pair(applied.document.constructions[3].outer.thickness, applied.document.constructions[0]),
              std::pair(std::optional(100.0), d.constructions[0]));
    // A long name is cut between characters to what a file holds; beyond 100 constructions nothing is applied.
    d.constructions[0].name = std::string(19, 'x') + "保温保温保温保温保温保温保";  // 58 bytes
    for (PipelineSegment& s : d.segments) s.construction = d.constructions[0].name;
    const std::string copy = applyThicknesses(d, {{0, 100.0}}).document.segments[0].construction;
    EXPECT_TRUE(copy == std::string(19, 'x') + "保温保温保温保温保温保 100mm" && copy.size() <= kMostNodeNameBytes) << copy;
    while (d.constructions.size() < kMostConstructions) d.constructions.push_back({.name = std::to_string(d.constructions.size())});
    EXPECT_EQ(applyThicknesses(d, {{0, 100.0}}).refusal, "保温做法已有 100 个，不能再为“" + d.constructions[0].name + "”添加新的厚度");
}

}  // namespace
}  // namespace dorvent
