#include <filesystem>

#include "bench/networks.h"
#include "guitest.h"
#include "netwin/profileview.h"
#include "netwin/schematicview.h"
#include "pipeline/nodetable.h"

namespace dorvent {
namespace {

TEST_F(PipelineWindow, TypingTheWorkedDesignGivesTheMainWindowsResultsAndMarksWhatIsMissing)
{
    EXPECT_EQ(shows("txtyali") + " " + shows("txtwendu") + " " + pipeline->windowTitle(), "1 250 管线计算 - 未命名[*]");  // the main window's state
    ASSERT_EQ(model->segmentCount(), 1);
    // The new row is not marked before anything is typed into it; then it asks for the pipe, at its cell,
    // its label and its row header.
    EXPECT_TRUE(text(0, Column::remark).isEmpty() && tip(0, Column::dn).isEmpty() && !cell(0, Column::dn).data(Qt::BackgroundRole).isValid());
    type(0, Column::length, "250");
    EXPECT_EQ(QStringList({text(0, Column::remark), tip(0, Column::dn), tip(0, Column::label), header(0, Qt::ToolTipRole).toString()}),
              QStringList(4, "请输入管道规格"));
    EXPECT_TRUE(header(0, Qt::BackgroundRole).isValid());

    pick(0, Column::dn, "DN200");
    EXPECT_EQ(table->currentIndex(), cell(1, Column::length));  // Enter moved down
    EXPECT_EQ(text(0, Column::remark), "请输入局部阻力系数");
    typeAcross(0, Column::flow, {"10", "0.2", "1", "0.2", "20", "5"});
    pick(0, Column::heatLossSource, "架空");
    EXPECT_TRUE(!(model->flags(cell(0, Column::heatLoss)) & Qt::ItemIsEditable) && text(0, Column::heatLoss) == "3.02");  // the table gives it
    EXPECT_EQ(texts(0, kFirstResultColumn, Column::remark),
              QStringList({"1.000", "250.000", "19.210", "89.525", "0.022", "0.978", "240.801", "9.199", "36.796", "56.718",
                           "61.897", "", "", "", "", "", "", "", "", "提示：起点流速 19.210 m/s 低于 DN200 的允许范围 30–50 m/s"}));
    EXPECT_EQ(std::pair(text(1, Column::heatLossKw), pipeline->isWindowModified()), std::pair(QString("56.718"), true));  // the totals

    // Every edit is one step back; a rejected text changes nothing, nor does a number beyond any meaning.
    EXPECT_FALSE(model->setData(cell(0, Column::dn), "DN210"));
    while (model->undoStack()->canUndo()) undo();
    EXPECT_EQ(std::pair(text(0, Column::dn), pipeline->isWindowModified()), std::pair(QString("自选"), false));
    while (model->undoStack()->canRedo()) model->undoStack()->redo();
    EXPECT_EQ(text(0, Column::pend) + " " + header(0).toString() + " " + header(1).toString(), "0.978 1 合计");
    EXPECT_FALSE(header(0, Qt::BackgroundRole).isValid());  // computed: not marked

    // A velocity below its band is a note: its cell set apart, quieter than a flag, and the row not flagged;
    // the superheat below the margin is a flag that colours its cell and the row.
    const PipelineDocument worked = model->document();
    const auto colour = [this](Column c) { return background(0, c); };
    const QColor note = colour(Column::velocity), plain = colour(Column::p0), input = colour(Column::length);
    EXPECT_TRUE(note != plain && colour(Column::superheat) == plain);  // 61.9 ℃ above the margin of 5 ℃
    PipelineDocument d = worked;
    d.superheatMargin = 100;
    model->resetDocument(d);
    const QColor flag = colour(Column::superheat);
    EXPECT_TRUE(flag != note && flag != plain && flag.saturationF() > note.saturationF()) << flag.name().toStdString();
    EXPECT_TRUE(colour(Column::length) != input && colour(Column::tend) != flag && colour(Column::velocity) == note);
    EXPECT_EQ(tip(0, Column::superheat), "末端过热度 61.897 ℃ 低于裕量 100 ℃");
    QStringList headers;  // the coefficients in the main window's order; the unit on a line of its own
    for (const Column c : {Column::phi, Column::beta, Column::heatLoss}) headers << model->headerData(static_cast<int>(c), Qt::Horizontal).toString();
    EXPECT_EQ(headers, QStringList({"同时使用\n系数", "局部热损失\n系数", "单位热损失\nkJ/(m·h·℃)"}));
    // A missing input marks its own cell, the label and the remark, no other.
    for (const Column missing : {Column::length, Column::flow, Column::zeta, Column::beta, Column::phi, Column::ambient, Column::dropPerKm}) {
        d = worked;
        setCellText(d.segments[0], missing, "");
        model->resetDocument(d);
        for (int c = 0; c < kColumnCount; ++c) {
            const auto column = static_cast<Column>(c);
            EXPECT_EQ(!tip(0, column).isEmpty(), column == missing || column == Column::remark || column == Column::label) << c;
        }
    }
    model->resetDocument(worked);
    // A cell takes a complete number, its thousands separators and full-width forms read; any other text
    // stays as typed, marked, and the segment is not computed.
    for (const auto& [typed, shown] : {std::pair("1,250", "1250"), {"２５０", "250"}, {"1,000.5", "1000.5"}}) {
        ASSERT_TRUE(model->setData(cell(0, Column::length), QString::fromUtf8(typed)));
        EXPECT_EQ(std::pair(text(0, Column::length), text(0, Column::pend).isEmpty()), std::pair(QString(shown), false));
    }
    for (const auto& [typed, why] : {std::pair("8,5", "不是数值"), {"14。5", "不是数值"}, {"1000000001", "超出范围"}}) {
        ASSERT_TRUE(model->setData(cell(0, Column::length), QString::fromUtf8(typed)));
        const QString reason = QStringLiteral("“%1”%2").arg(QString::fromUtf8(typed), QString::fromUtf8(why));
        EXPECT_EQ(QStringList({text(0, Column::length), tip(0, Column::length), text(0, Column::remark), text(0, Column::pend)}),
                  QStringList({QString::fromUtf8(typed), "管段长度" + reason, "管段长度" + reason, ""}));
    }
    EXPECT_EQ(std::pair(text(1, Column::length), text(1, Column::heatLossKw)), std::pair(QString("0"), QString()));
}

TEST_F(PipelineWindow, RowsAreAddedMovedPastedClearedAndDeleted)
{
    // A row with every input its own value; a new row continues its pipe, coefficients and laying.
    type(0, Column::label, "A-B");
    pick(0, Column::dn, "DN200");
    typeAcross(0, Column::length, {"250", "10", "0.25", "0.9", "0.15", "-5", "4.5"});
    pick(0, Column::heatLossSource, "架空");
    const auto inputs = [this](int row) { return texts(row, Column::label, Column::heatLossSource); };
    QStringList continued = inputs(0);
    EXPECT_EQ(continued, QStringList({"A-B", "", "", "DN200", "", "219", "6", "250", "10", "0.25", "0.9", "0.15", "-5", "4.5", "架空"}));
    button("cmdtianjia");
    ASSERT_EQ(model->segmentCount(), 2);
    continued[0] = continued[7] = continued[8] = "";  // label, length and flow are the engineer's to give
    EXPECT_EQ(std::pair(inputs(1), table->currentIndex().row()), std::pair(continued, 1));
    // Inserted before the current row, a row continues the row above it, not the current one.
    pick(1, Column::dn, "DN250");
    table->setCurrentIndex(cell(1, Column::label));
    button("cmdcharu");
    ASSERT_EQ(model->segmentCount(), 3);
    EXPECT_EQ(std::tuple(inputs(1), table->currentIndex(), text(2, Column::dn)),  // the new row current
              std::tuple(continued, cell(1, Column::label), QString("DN250")));
    undo();  // the insertion
    table->setCurrentIndex(cell(1, Column::label));
    action("mcharu");  // the menu's and Ctrl++ insert as well
    EXPECT_EQ(std::tuple(model->segmentCount(), text(1, Column::dn), text(2, Column::dn)), std::tuple(3, QString("DN200"), QString("DN250")));
    undo(2);  // DN250

    paste(0, Column::length, "250\t10\n400\t8\n");  // one step for the whole block
    EXPECT_EQ(texts(0, Column::length, Column::flow) + texts(1, Column::length, Column::flow), QStringList({"250", "10", "400", "8"}));
    undo();
    EXPECT_EQ(text(1, Column::length), "");
    model->undoStack()->redo();

    // Every edit repaints every row, the totals among them, and every column.
    QSignalSpy repainted(model, &QAbstractItemModel::dataChanged);
    type(1, Column::flow, "9");
    ASSERT_FALSE(repainted.isEmpty());
    EXPECT_EQ(std::pair(repainted.last().at(0).toModelIndex(), repainted.last().at(1).toModelIndex()),
              std::pair(model->index(0, 0), model->index(2, kColumnCount - 1)));

    table->setCurrentIndex(cell(0, Column::label));
    button("cmdxiayi");
    EXPECT_EQ(QStringList({text(0, Column::label), text(0, Column::length), text(1, Column::label), text(1, Column::length)}),
              QStringList({"", "400", "A-B", "250"}));
    EXPECT_EQ(table->currentIndex(), cell(1, Column::label));  // the moved row stays current
    // Row headers carry the label, a long one cut to eleven characters.
    model->setData(cell(0, Column::label), " 锅炉房至一号车间蒸汽干管甲段 ");
    EXPECT_EQ(header(0).toString() + " | " + header(1).toString(), "1 锅炉房至一号车间蒸汽干… | 2 A-B");
    undo();
    // 剪切 takes the cells away to the clipboard.
    select(1, Column::flow, 1, Column::flow);
    action("mjianqie");
    EXPECT_EQ(std::pair(QApplication::clipboard()->text().trimmed(), text(1, Column::flow)), std::pair(QString("10"), QString()));
    undo();
    button("cmdcharu");
    // Copy gives tab-separated lines; Delete over a block empties the inputs and keeps the pipes.
    select(0, Column::label, 2, Column::length);
    QTest::keySequence(table, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "\t\t\tDN200\t\t219\t6\t400\n\t\t\tDN200\t\t219\t6\t\nA-B\t\t\tDN200\t\t219\t6\t250");
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(QStringList({text(0, Column::dn), text(0, Column::length), text(2, Column::label)}), QStringList({"DN200", "", ""}));
    undo();
    // The first two rows deleted leave the third.
    select(0, Column::label, 1, Column::label);
    button("cmdshanchu");
    EXPECT_EQ(std::pair(model->segmentCount(), text(0, Column::label)), std::pair(1, QString("A-B")));
    select(0, Column::label, 0, Column::label);  // the last one deleted: the totals row is current
    button("cmdshanchu");
    EXPECT_EQ(std::pair(model->segmentCount(), table->currentIndex()), std::pair(0, cell(0, Column::label)));
    // As many rows as a file holds, no more.
    model->resetDocument({.segments = std::vector<PipelineSegment>(kMostSegments - 1)});
    paste(static_cast<int>(kMostSegments) - 2, Column::label, "A\nB\n");
    button("cmdtianjia");
    EXPECT_EQ(model->segmentCount(), static_cast<int>(kMostSegments));
}

TEST_F(PipelineWindow, HeaderAndUnitListsShowTheDocumentOpenedOrUndone)
{
    const PipelineDocument kPa{.project = "东线", .designer = "张工", .startPressure = 1000, .pressureUnit = "kPa",
                               .startTemperature = 523.15, .temperatureUnit = "K", .superheatMargin = 7.5, .segments = {{}}};
    ASSERT_TRUE(pipeline->openFile(written(folder.filePath("kPa.dorvent"), QByteArray::fromStdString(writePipelineFile(kPa)))));
    const auto boxes = [this] {
        QStringList texts;
        for (const char* name : {"txtxiangmu", "txtshejiren", "txtyali", "txtwendu", "txtyuliang", "cboyali", "cbowendu"}) texts << shows(name);
        return texts;
    };
    EXPECT_EQ(boxes(), QStringList({"东线", "张工", "1000", "523.15", "7.5", "kPa", "K"}));
    QStringList units;
    for (const char* name : {"cboyali", "cbowendu"})
        for (int i = 0; i < in<QComboBox>(name)->count(); ++i) units << in<QComboBox>(name)->itemText(i);
    EXPECT_EQ(units << shows("lblqidian"), QStringList({"MPa", "kPa", "kgf/cm2", "℃", "K", "起点状态：1.000 MPa，250.000 ℃，过热蒸汽，饱和温度 179.886 ℃"}));

    // Each box goes to its own field, and undo brings the lists back with the numbers.
    QComboBox* pressureUnit = in<QComboBox>("cboyali");
    pressureUnit->setFocus();
    QTest::keyClick(pressureUnit, Qt::Key_Up);  // kPa to MPa: 1000 MPa is too much
    EXPECT_EQ(std::pair(model->document().pressureUnit, shows("lblqidian")), std::pair(std::string("MPa"), QString("起点状态：压力过高")));
    for (const auto& [name, typed] : {std::pair("txtshejiren", "Li"), std::pair("txtyuliang", "12")}) typeOver(name, typed, false);
    EXPECT_EQ(std::tuple(model->document().project, model->document().designer, model->document().superheatMargin), std::tuple("东线", "Li", 12.0));
    undo();  // typing into one box is one step, into the next another
    EXPECT_EQ(std::pair(model->document().designer, model->document().superheatMargin), std::pair(std::string("Li"), 7.5));
    typeOver("txtyali", "1e10", false);  // beyond what a document holds: kept out of it
    // "1e1" was the last number typed that a document holds.
    EXPECT_EQ(std::pair(model->document().startPressure, shows("lblqidian")),
              std::pair(std::optional(10.0), QString("起点状态：输入数值超出计算范围，无法计算")));
    while (model->undoStack()->canUndo()) undo();
    EXPECT_EQ(std::pair(boxes(), pipeline->isWindowModified()), std::pair(QStringList({"东线", "张工", "1000", "523.15", "7.5", "kPa", "K"}), false));
}

TEST_F(PipelineWindow, KeysLandWhereTheUserTypesAndPasteGrowsTheTable)
{
    // A click into the current cell, then keys: every key lands, also after the double-click time.
    table->setCurrentIndex(cell(0, Column::length));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell(0, Column::length)).center());
    press("8");
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    press("00");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();  // the edit ends after the key
    EXPECT_EQ(text(0, Column::length), "800");
    // The DN typed as its number or its name; Tab over the cells that take no input.
    for (const char* typed : {"250", "dn200"}) type(0, Column::dn, typed);
    EXPECT_EQ(text(0, Column::dn), "DN200");
    table->setFocus();
    table->setCurrentIndex(cell(0, Column::dn));
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_EQ(table->currentIndex(), cell(0, Column::length));  // past the catalogue's diameter and wall
    QTest::keyClick(table, Qt::Key_Backtab);
    EXPECT_EQ(table->currentIndex(), cell(0, Column::dn));

    // A block of four rows pasted into a main of one adds three, in one step; an empty line is a row like any other.
    paste(0, Column::label, "A\t\t\t\t\t\t\t100\r\n\r\nC\t\t\t\t\t\t\t300\r\nD\t\t\t\t\t\t\t400\r\n");  // as spreadsheets copy
    ASSERT_EQ(model->segmentCount(), 4);
    EXPECT_EQ(QStringList({text(0, Column::label), text(1, Column::label), text(2, Column::label), text(3, Column::length), text(3, Column::dn)}),
              QStringList({"A", "", "C", "400", "自选"}));
    undo();
    EXPECT_EQ(std::pair(model->segmentCount(), text(0, Column::length)), std::pair(1, QString("800")));

    // The edit menu and the table's context menu; a new row takes the focus at its first cell.
    QStringList edits;
    for (QAction* action : table->actions()) edits << action->text();
    EXPECT_EQ(edits, QStringList({"剪切(&T)", "复制(&C)", "粘贴(&P)", "删除内容(&D)", "", "插入管段(&I)", "添加管段(&A)", "删除管段(&R)",
                                  "上移管段(&K)", "下移管段(&J)"}));
    action("mtianjia");
    EXPECT_TRUE(QApplication::focusWidget() == table && table->currentIndex() == cell(1, Column::label));
    model->setData(cell(1, Column::label), "B");
    table->setCurrentIndex(cell(0, Column::label));
    action("mxiayi");
    EXPECT_EQ(std::pair(text(0, Column::label), text(1, Column::label)), std::pair(QString("B"), QString()));
    action("mshangyi");
    EXPECT_TRUE(text(0, Column::label).isEmpty() && in<QAction>("mchongzuo")->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
}

TEST_F(PipelineWindow, AnEmptyRowIsNoFailureColumnsFitTheirTextsAndTheTableStaysPut)
{
    // A new document: nothing in red, above the table, at its row or in the profile.
    const auto redNowhere = [this] {
        return shows("lblxiaoxi").isEmpty() && in<ProfileView>("chtpoumian")->data().stopText.isEmpty() && !header(0, Qt::BackgroundRole).isValid();
    };
    EXPECT_TRUE(redNowhere() && text(0, Column::remark).isEmpty());
    // Every column as wide as its texts in view, the totals' among them, after each edit: a long label, the results.
    const auto cut = [this] {
        QCoreApplication::processEvents();
        QStringList columns;
        for (int c = 0; c < kColumnCount; ++c) {
            const int needed = std::max(static_cast<QAbstractItemView*>(table)->sizeHintForColumn(c), table->horizontalHeader()->sectionSizeHint(c));
            if (!table->isColumnHidden(c) && table->columnWidth(c) < needed) columns << columnHeader(static_cast<Column>(c))[0].data();
        }
        return columns;
    };
    const int labelWidth = table->columnWidth(static_cast<int>(Column::label));
    const QPoint tableAt = table->mapTo(pipeline, QPoint(0, 0));
    model->setData(cell(0, Column::label), "锅炉房至一号用户的主干管道");
    const QStringList worked = {"DN200", "", "", "", "250", "10", "0.2", "1", "0.2", "20", "5", "架空"};
    QList<PipelineModel::CellText> cells;
    for (int c = 0; c < worked.size(); ++c) cells.append({0, static_cast<int>(Column::dn) + c, worked[c]});
    model->setCellTexts(cells, "fill");
    EXPECT_EQ(std::pair(cut(), text(0, Column::pend)), std::pair(QStringList(), QString("0.978")));
    EXPECT_GT(table->columnWidth(static_cast<int>(Column::label)), labelWidth + 60);
    type(0, Column::label, "A");
    EXPECT_TRUE(cut().isEmpty() && table->columnWidth(static_cast<int>(Column::label)) < labelWidth + 20);

    // A failure named above the table moves the table no pixel, nor does its going; cut short, the whole
    // line is its tool tip. A row added after it does not take the text it keeps.
    type(0, Column::zeta, "abc");
    auto* line = in<QLabel>("lblxiaoxi");
    EXPECT_EQ(std::tuple(line->text().isEmpty(), line->toolTip(), table->mapTo(pipeline, QPoint(0, 0))),
              std::tuple(false, line->text(), tableAt));
    button("cmdtianjia");
    EXPECT_EQ(std::pair(text(1, Column::zeta), text(1, Column::phi)), std::pair(QString(), QString("1")));
    undo();
    EXPECT_FALSE(in<QAction>("mdaochujiedian")->isEnabled());  // a main has no nodes to export
    // Undone, the row header is repainted unmarked: the model says so for the row.
    QSignalSpy repainted(model, &QAbstractItemModel::headerDataChanged);
    undo();
    ASSERT_FALSE(repainted.isEmpty());
    const QList<QVariant> range = repainted.last();
    EXPECT_TRUE(range[0].value<Qt::Orientation>() == Qt::Vertical && range[1].toInt() <= 0 && range[2].toInt() >= 0 && redNowhere() &&
                table->mapTo(pipeline, QPoint(0, 0)) == tableAt);
    // Three pipes from one source fail at once, each for itself, and are undone: all their headers are repainted.
    PipelineDocument three{.startPressure = 1, .startTemperature = 250};
    for (const char* to : {"A", "B", "C"}) {
        three.segments.push_back(model->document().segments[0]);
        std::tie(three.segments.back().from, three.segments.back().to) = std::tuple("S", to);
    }
    model->changeDocument(three, "three");
    paste(0, Column::zeta, "x\nx\nx");
    repainted.clear();
    undo();
    ASSERT_FALSE(repainted.isEmpty());
    EXPECT_TRUE(repainted.last()[1].toInt() <= 0 && repainted.last()[2].toInt() >= 2) << repainted.last()[1].toInt() << "-" << repainted.last()[2].toInt();
    undo();

    // 固定 looks the same checked by a click as read from a file: the box alone.
    model->setData(cell(0, Column::fixed), Qt::Checked, Qt::CheckStateRole);
    const auto fixedLook = [this] { return std::pair(text(0, Column::fixed), cell(0, Column::fixed).data(Qt::CheckStateRole).value<Qt::CheckState>()); };
    EXPECT_EQ(fixedLook(), std::pair(QString(), Qt::Checked));
    ASSERT_TRUE(pipeline->saveFile(folder.filePath("fixed.dorvent")) && pipeline->openFile(folder.filePath("fixed.dorvent")));
    EXPECT_EQ(fixedLook(), std::pair(QString(), Qt::Checked));
    select(0, Column::fixed, 0, Column::fixed);
    table->copySelection();
    EXPECT_EQ(QApplication::clipboard()->text(), "固定");  // copied as the text that pastes it back

    // Alt and a menu's letter open the menu, and type nothing into the cell.
    table->setFocus();
    table->setCurrentIndex(cell(0, Column::label));
    QTest::keyClick(table, Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    EXPECT_TRUE(menu != nullptr && menu->title() == "文件(&F)");
    if (menu != nullptr) menu->close();
    EXPECT_TRUE(text(0, Column::label) == "A" && qobject_cast<QLineEdit*>(QApplication::focusWidget()) == nullptr);
}

TEST_F(PipelineWindow, AFailureIsNamedAndDeclinedEditsAndTheMainWindowComeBack)
{
    const PipelineSegment worked{.label = "A-B", .dn = 200, .length = 250, .flow = 10, .zeta = 0.2, .beta = 0.2,
                                 .phi = 1, .ambient = 20, .dropPerKm = 5, .heatLossSource = HeatLossSource::overhead};
    PipelineSegment tooLong = worked;
    std::tie(tooLong.label, tooLong.length) = std::tuple("B-C", 5000);
    model->changeDocument({.startPressure = 1, .startTemperature = 250, .segments = {worked, tooLong, worked}}, "main");
    EXPECT_EQ(std::pair(shows("lblxiaoxi"), in<QLabel>("lblxiaoxi")->isVisible()),
              std::pair(QString("管段 2（B-C）未能算出：压降过大，使末端蒸汽不属于过热蒸汽，不能用本程序计算"), true));
    const ProfileData& drawn = in<ProfileView>("chtpoumian")->data();
    EXPECT_EQ(std::pair(drawn.stop, drawn.stopText), std::pair(std::optional<double>(250), QString("管段 2（B-C）未能算出")));

    // 不保存 declines the changes made since the last save: the window opens again with what was saved.
    ASSERT_TRUE(pipeline->saveFile(folder.filePath("saved.dorvent")));
    model->setData(cell(0, Column::label), "changed");
    messages.answer = SaveChoice::discard;
    EXPECT_TRUE(pipeline->close());
    at<QAction>("m31")->trigger();
    EXPECT_EQ(std::tuple(model->segmentCount(), text(0, Column::label), pipeline->isWindowModified()), std::tuple(3, QString("A-B"), false));
    // The main window, closed, comes back from the pipeline window: from its menu, and where its state is asked for.
    window.close();
    action("mzhuchuangkou");
    EXPECT_TRUE(window.isVisible());
    click("Command2");  // no state any more
    window.close();
    messages.texts.clear();
    button("cmdqu");
    EXPECT_EQ(std::pair(messages.texts, window.isVisible()), std::pair(QStringList({"请先计算蒸汽状态"}), true));
}

TEST_F(PipelineWindow, ANetworkShowsItsNodesSchematicAndCriticalPath)
{
    ASSERT_TRUE(pipeline->openFile(exampleCopy(folder, "industrial-park.dorvent")));
    auto* nodeTable = in<PipelineTableView>("tbljiedian");
    QAbstractItemModel* nodes = nodeTable->model();
    ASSERT_EQ(nodes->rowCount(), 20);
    const auto node = [nodes](int row, NodeColumn c) { return nodes->index(row, static_cast<int>(c)); };
    const auto nodeText = [&node](int row, NodeColumn c) { return node(row, c).data().toString(); };
    EXPECT_EQ(QStringList({nodeText(9, NodeColumn::name), nodeText(9, NodeColumn::kind), nodeText(9, NodeColumn::p)}),
              QStringList({"制药厂", "用户", "1.003"}));
    EXPECT_TRUE(nodes->index(9, 0).data(Qt::FontRole).value<QFont>().bold() &&  // the critical consumer
                shows("lblzongji").endsWith("最不利用户：制药厂（热电厂 → N1 → N2 → B2 → 制药厂）"));
    // Summed flows are set apart from typed ones.
    EXPECT_EQ(std::pair(text(0, Column::flow), text(1, Column::flow)), std::pair(QString("94"), QString("18")));
    const auto italic = [this](int row) { return cell(row, Column::flow).data(Qt::FontRole).value<QFont>().italic(); };
    EXPECT_EQ(std::pair(italic(0), italic(1)), std::pair(true, false));

    // A demand typed in the node table flows up to the source; a new name follows into the pipes.
    nodes->setData(node(9, NodeColumn::demand), "9");
    EXPECT_EQ(text(0, Column::flow), "95");
    nodes->setData(node(9, NodeColumn::name), "药厂");
    EXPECT_EQ(std::pair(text(8, Column::to), nodeText(9, NodeColumn::name)), std::pair(QString("药厂"), QString("药厂")));
    undo(2);
    // A new name and needs pasted onto one row all go to the renamed node; a pressure short of what it
    // needs is flagged at its pressure.
    paste(nodeTable, 9, 0, "药厂\t用户\t9\t1.01");
    EXPECT_EQ(QStringList({nodeText(9, NodeColumn::name), nodeText(9, NodeColumn::demand), nodeText(9, NodeColumn::requiredPressure),
                           nodeText(9, NodeColumn::remark)}),
              QStringList({"药厂", "9", "1.01", "压力不足"}));
    const auto flagged = [&node](NodeColumn c) { return node(9, c).data(Qt::BackgroundRole).value<QBrush>().color() == QColor(255, 200, 112); };
    EXPECT_EQ(std::pair(flagged(NodeColumn::p), flagged(NodeColumn::pressureMargin)), std::pair(true, false));
    undo();
    // Short of its required temperature: its temperature is flagged, not its margin nor its pressure.
    nodes->setData(node(9, NodeColumn::requiredTemperature), "400");
    EXPECT_EQ(std::tuple(flagged(NodeColumn::t), flagged(NodeColumn::temperatureMargin), flagged(NodeColumn::p), nodeText(9, NodeColumn::remark)),
              std::tuple(true, false, false, QString("温度不足")));
    undo();

    // The schematic: every pipe and node, whole in its pane once the pane is shown; a click on a pipe, or 4 pixels
    // beside it, makes its row current, one far from any leaves it; a current node row is marked.
    auto* schematic = in<SchematicView>("tuguanwang");
    const std::vector<Schematic::Item>& items = schematic->schematic().items;
    EXPECT_EQ(std::pair(std::ranges::count(items, Schematic::Item::pipe, &Schematic::Item::kind), items.size()), (std::pair<std::ptrdiff_t, std::size_t>(19, 19 + 20)));
    in<QTabWidget>("tabtu")->setCurrentIndex(1);
    QCoreApplication::processEvents();
    const QRect whole = schematic->mapFromScene(schematic->schematic().bounds).boundingRect();
    EXPECT_TRUE(schematic->viewport()->rect().adjusted(-1, -1, 1, 1).contains(whole) && whole.height() > schematic->viewport()->height() * 0.9)
        << whole.width() << "x" << whole.height() << " in " << schematic->viewport()->width() << "x" << schematic->viewport()->height();
    const auto item = [&items](Schematic::Item::Kind kind, std::size_t index) {
        return *std::ranges::find_if(items, [&](const auto& i) { return i.kind == kind && i.index == index; });
    };
    const Schematic::Item pipe13 = item(Schematic::Item::pipe, 12);
    const QPoint onPipe = schematic->mapFromScene((pipe13.line[2] + pipe13.line[3]) / 2);
    QTest::mouseClick(schematic->viewport(), Qt::LeftButton, {}, onPipe + QPoint(0, 4));
    EXPECT_EQ(std::pair(table->currentIndex().row(), schematic->isHighlighted(Schematic::Item::pipe, 12)), std::pair(12, true));
    const Schematic::Item pipe2 = item(Schematic::Item::pipe, 1);
    QTest::mouseClick(schematic->viewport(), Qt::LeftButton, {}, schematic->mapFromScene(pipe2.line[2] + QPointF(0, 20)) + QPoint(-3, 0));
    EXPECT_EQ(table->currentIndex().row(), 1);
    QTest::mouseClick(schematic->viewport(), Qt::LeftButton, {}, schematic->mapFromScene(schematic->schematic().bounds.topRight()) + QPoint(-4, 4));
    EXPECT_EQ(table->currentIndex().row(), 1);
    // A click on a node, where the pipe into it ends, picks the node.
    nodeTable->setCurrentIndex(nodes->index(0, 0));
    const QPointF node9 = item(Schematic::Item::node, 9).shape.center();
    QTest::mouseClick(schematic->viewport(), Qt::LeftButton, {}, schematic->mapFromScene(node9));
    EXPECT_EQ(std::pair(nodeTable->currentIndex().row(), table->currentIndex().row()), std::pair(9, 1));
    nodeTable->setCurrentIndex(nodes->index(3, 0));
    EXPECT_TRUE(schematic->isHighlighted(Schematic::Item::node, 3) && !schematic->isHighlighted(Schematic::Item::node, 9));
    // Zoomed by the wheel, the schematic keeps its zoom through an edit.
    const QPointF middle = schematic->viewport()->rect().center();
    QWheelEvent wheel(middle, schematic->viewport()->mapToGlobal(middle), {}, {0, 240}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(schematic->viewport(), &wheel);
    const QTransform zoomed = schematic->transform();
    model->setData(cell(0, Column::length), "1300");
    EXPECT_EQ(schematic->transform(), zoomed);
    undo();

    // The profile leads to the critical consumer wherever it goes, or to the node picked, which stays picked
    // through every edit until it is there no more.
    const ProfileData* drawn = &in<ProfileView>("chtpoumian")->data();
    auto* path = in<QComboBox>("cbolujing");
    const auto profile = [&] { return std::pair(drawn->joints.back().label, path->currentText()); };
    EXPECT_EQ(profile(), std::pair(QString("制药厂"), QString("最不利用户")));
    const QModelIndex hospitalNeeds = node(nodes->match(nodes->index(0, 0), Qt::DisplayRole, "医院").value(0).row(), NodeColumn::requiredPressure);
    nodes->setData(hospitalNeeds, "1.5");  // now the hospital is the critical consumer
    EXPECT_EQ(profile(), std::pair(QString("医院支线"), QString("最不利用户")));
    undo();
    path->setCurrentIndex(path->findData("医院"));
    emit path->activated(path->currentIndex());
    QStringList labels;
    for (const ProfileData::Joint& joint : drawn->joints) labels << joint.label;
    EXPECT_EQ(labels, QStringList({"干线1", "干线2", "干线3", "干线4", "医院支线"}));
    ASSERT_TRUE(pipeline->exportChart(folder.filePath("hospital.pdf")));  // read below
    model->setData(cell(0, Column::length), "2000");
    nodes->setData(node(9, NodeColumn::requiredPressure), "1.5");
    EXPECT_EQ(profile(), std::pair(QString("医院支线"), QString("医院")));
    undo(2);
    nodes->setData(nodes->index(hospitalNeeds.row(), 0), "人民医院");
    EXPECT_EQ(profile(), std::pair(QString("制药厂"), QString("最不利用户")));
    undo();
    EXPECT_EQ(profile(), std::pair(QString("制药厂"), QString("最不利用户")));  // gone once: no longer picked

    // The node table as the 文件 menu exports it: every node, with the byte-order mark.
    ASSERT_TRUE(in<QAction>("mdaochujiedian")->isEnabled());
    ASSERT_TRUE(pipeline->exportNodesCsv(folder.filePath("nodes.csv")));
    const QByteArray csvBytes = bytesOf(folder.filePath("nodes.csv"));
    const QString csv = QString::fromUtf8(csvBytes.mid(3));
    // With the park's two cases, each under its name.
    EXPECT_TRUE(csvBytes.startsWith("\xEF\xBB\xBF") && csv.startsWith("工况,节点,类型,用汽量(t/h),要求压力(MPa),要求温度(℃),压力(MPa)") &&
                csv.count("\r\n") == 41 && csv.contains("\r\n设计工况,制药厂,用户,8,1,,1.003,") &&
                csv.contains("\r\n夏季最小负荷,制药厂,用户,2.4,1,,")) << csv.toStdString();

    // 25 t/h typed on the trunk, which feeds 94 t/h: its flow cell flagged, with the flow leaving N1 as its tip.
    model->setData(cell(0, Column::flow), "25");
    EXPECT_EQ(std::tuple(background(0, Column::flow), background(0, Column::length) == background(0, Column::flow), tip(0, Column::flow)),
              std::tuple(QColor(255, 200, 112), false, QString("流量 25 t/h 小于节点“N1”流出的 94 t/h")));
    EXPECT_TRUE(!drawn->flagged.empty() && drawn->flagged.front().from == 0);  // the profile shades it too
    undo();

    // A pipe that feeds N1 again closes a loop: the network is solved for its flows, which a flow
    // typed on a pipe would contradict; said above the table and at the cell.
    model->setData(cell(6, Column::to), "N1");
    EXPECT_EQ(std::pair(shows("lblxiaoxi"), tip(1, Column::flow)),
              std::pair(QString("管网未能求解：管段 2、16：环状或多热源管网的管段流量由计算求得，请清空蒸汽流量"),
                        QString("环状或多热源管网的管段流量由计算求得，请清空蒸汽流量")));
    undo();

    // The schematic's exports: a picture, and an SVG whose texts are text.
    ASSERT_TRUE(pipeline->exportNetwork(folder.filePath("network.svg")) && pipeline->exportNetwork(folder.filePath("network.png")));
    const QString svgText = QString::fromUtf8(bytesOf(folder.filePath("network.svg")));
    EXPECT_TRUE(svgText.contains("<svg") && svgText.contains(">制药厂</text>") && svgText.contains("<polyline") &&
                svgText.contains(">至最不利用户的路径</text>") && !svgText.contains(">选中</text>")) << svgText.left(1500).toStdString();
    // The legend within the picture, below the schematic; a node's name in near black, not in its circle's colour.
    const QRegularExpressionMatch box = QRegularExpression(R"re(viewBox="(\S+) (\S+) (\S+) (\S+)")re").match(svgText);
    const QRegularExpressionMatch legend = QRegularExpression(R"re(<text x="(\S+)" y="(\S+)"[^>]*>至最不利用户的路径<)re").match(svgText);
    const QRegularExpressionMatch name = QRegularExpression(R"re(<circle [^>]*stroke="(#\w+)"[^>]*/>\n<text [^>]*fill="(#\w+)">制药厂<)re").match(svgText);
    ASSERT_TRUE(box.hasMatch() && legend.hasMatch() && name.hasMatch());
    const QRectF viewBox(box.captured(1).toDouble(), box.captured(2).toDouble(), box.captured(3).toDouble(), box.captured(4).toDouble());
    EXPECT_TRUE(viewBox.contains(legend.captured(1).toDouble(), legend.captured(2).toDouble())) << legend.captured(0).toStdString();
    EXPECT_TRUE(QColor(name.captured(2)).lightness() < 40 && name.captured(2) != name.captured(1) && !QImage(folder.filePath("network.png"), "PNG").isNull())
        << name.captured(0).toStdString();

    // The report of the network: its nodes with their margins, the critical consumer, the schematic.
    undo();
    ASSERT_TRUE(pipeline->exportReport(folder.filePath("network.pdf")));
    SKIP_WITHOUT_POPPLER();
    EXPECT_TRUE(pdfText(folder.filePath("hospital.pdf"), false).contains("沿程：热电厂 → N1 → N2 → N3 → N4 → 医院"));
    const QString report = pdfText(folder.filePath("network.pdf"));
    for (const char* expected : {"五、保温计算", "六、节点", "压力裕量", "最不利用户：制药厂，路径 热电厂 → N1 → N2 → B2 → 制药厂，压力裕量 0.003 MPa",
                                 "七、工况对比", "八、管网图", "九、压力与温度沿程分布（至最不利用户制药厂）", "总用汽量：93.5 t/h"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(expected))) << expected;
}

TEST_F(PipelineWindow, AThousandPipesFitTheSchematicsWidthAtALegibleSizeFromTheSource)
{
    model->resetDocument(bench::spineNetwork(1000));
    in<QTabWidget>("tabtu")->setCurrentIndex(1);
    pipeline->resize(1400, 900);  // room for a band at 9 pixels, whatever the platform's face measures
    QCoreApplication::processEvents();
    auto* schematic = in<SchematicView>("tuguanwang");
    // Labels of 9 pixels at least, the width whole, the rest a scroll down.
    EXPECT_GE(kSchematicFontSize * schematic->transform().m22(), 9);
    EXPECT_TRUE(schematic->horizontalScrollBar()->maximum() == 0 && schematic->verticalScrollBar()->maximum() > 0);
    // The source's name is drawn where it stands, in the view.
    const auto source = std::ranges::find_if(schematic->schematic().items, [](const Schematic::Item& i) { return i.square; });
    ASSERT_NE(source, schematic->schematic().items.end());
    const QRect name = schematic->mapFromScene(source->labels.front().box).boundingRect();
    ASSERT_TRUE(schematic->viewport()->rect().contains(name));
    EXPECT_GT(pixelsIn(schematic->viewport()->grab().toImage(), name, [](const QColor& c) { return qGray(c.rgb()) < 200; }), 10);
}

TEST_F(PipelineWindow, FilesKeepTheDocumentAndABadFileLeavesItUntouched)
{
    model->setData(cell(0, Column::label), "锅炉房-A");
    const QString path = folder.filePath("main.dorvent");
    ASSERT_TRUE(pipeline->saveFile(path));
    EXPECT_EQ(std::pair(pipeline->windowTitle(), pipeline->isWindowModified()), std::pair(QString("管线计算 - main.dorvent[*]"), false));
    const PipelineDocument saved = model->document();

    type(0, Column::label, "changed");
    EXPECT_FALSE(pipeline->openFile(written(folder.filePath("bad.dorvent"), R"({"format": "dorvent-pipeline", "version": 9})")));
    EXPECT_EQ(messages.texts, QStringList({"无法打开管线文件 bad.dorvent：\r\n字段 version：本程序只能读取版本 1、2、3、4、5 和 6 的管线文件"}));
    EXPECT_EQ(std::pair(text(0, Column::label), pipeline->isWindowModified()), std::pair(QString("changed"), true));  // nothing lost

    // Unsaved changes: closing asks, and Cancel keeps the window open.
    messages.answer = SaveChoice::cancel;
    EXPECT_FALSE(pipeline->close());
    EXPECT_EQ(messages.texts.last(), "管线“main.dorvent”有未保存的修改。是否保存？");
    ASSERT_TRUE(pipeline->openFile(path));
    EXPECT_EQ(std::pair(model->document(), pipeline->isWindowModified()), std::pair(saved, false));

    // No export overwrites the document's own file, under its name or through a link, nor takes a folder.
#ifdef _WIN32  // where QFile::link makes a shortcut, which is a file of its own
    std::filesystem::create_hard_link(path.toStdWString(), folder.filePath("link.csv").toStdWString());
#else
    QFile::link(path, folder.filePath("link.csv"));
#endif
    messages.texts.clear();
    EXPECT_FALSE(pipeline->exportReport(path) || pipeline->exportCsv(folder.filePath("link.csv")) || pipeline->exportChart(folder.path()));
    const QString own = "：这是管线文件本身，不能用导出的内容覆盖";
    EXPECT_EQ(messages.texts, QStringList({"无法写入文件 main.dorvent" + own, "无法写入文件 link.csv" + own,
                                           "无法写入文件 " + QFileInfo(folder.path()).fileName() + "：这是一个文件夹，不是文件"}));
    EXPECT_TRUE(pipeline->openFile(path));
    EXPECT_EQ(model->document(), saved);
}

}  // namespace
}  // namespace dorvent
