// A long random walk through the pipeline window: seeded steps a user takes, from an empty
// document or an example, each followed by the checks of what a user would notice if it broke.
// The suite walks four seeds of 125 steps; scripts/walk sets WALK_SEEDS and WALK_STEPS for more.
// Below it, what the walk found, each a short test of its own.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <utility>

#include "guitest.h"
#include "netwin/profileview.h"
#include "netwin/recentfiles.h"
#include "netwin/schematicview.h"
#include "numtext/readnumber.h"
#include "pipeline/casetext.h"
#include "pipeline/loadcases.h"
#include "pipeline/nodetable.h"
#include "report/profilechart.h"
#include "report/schematic.h"

namespace dorvent {
namespace {

// Typed into cells and boxes: what a design takes, and hostile texts, full-width digits, thousands separators.
const QStringList kSensible = {"250", "10", "0.2", "1", "20", "5", "3.02", "0.5", "99.6", "600", "DN200", "200", "架空"};
const QStringList kTexts = kSensible + QStringList{
    "0", "-5", "1e400", "-1e400", "1e-400", "1e39", "abc", "1D3", "   ", "3276600.75", QString(300, '9'), "DN1400", "DN25",
    "自选", "输入", "不通行地沟", "通行地沟", "固定", "否", "1,200", "1,000.5", "8,5", "14。5", "１０", "２５０", "1000000001",
    "-0", "nan", "inf", "=1+1"};
// Pasted only: what no keyboard types.
const QStringList kPastedOnly = {"", QString::fromUtf8("1\0" "2", 3), "\x1b[31m", "a\"b", "1\r2", QString(40, QChar(0x6c7d))};
// Node names: the same name twice makes a loop or a second feed, a new one an orphan or a second source.
const QStringList kNames = {"S", "A", "B", "C", "D", " A ", "热电厂", "N1", "制药厂", ""};
const QStringList kSaveNames = {"a.dorvent", "b", "管线 c.dorvent"};  // "b" gains its extension
const char* const kStarts[] = {nullptr, "worked-case.dorvent", "steam-main.dorvent", "industrial-park.dorvent", "two-plant-ring.dorvent"};
// Insulation: whole rows of the construction and own-material tables, and what is typed into their cells.
const QStringList kConstructionRows = {"主线保温\t硅酸铝棉毡\t80\t岩棉\t60\t铝合金薄板\t\t3", "支线保温\t复合硅酸盐\t70\t\t\t有光泽的镀锌薄钢板\t\t0",
                                       "地沟保温\t泡沫玻璃\t50\t\t\t\t0.9\t0", "薄保温\t岩棉\t10\t\t\t\t0.3\t0.5"};
const QStringList kMaterialRows = {"泡沫玻璃\t0.045\t0.00017\t0\t400", "负导热\t-0.1\t0\t0\t300", "材料1\t0.04\t\t\t"};
const QStringList kInsulationNames = {"主线保温", "支线保温", "地沟保温", "保温做法1", " 主线保温 ", "", "泡沫玻璃", "岩棉", "材料1",
                                      QString(25, QChar(0x4fdd))};
const QStringList kLayerTexts = {"硅酸钙", "复合硅酸盐", "岩棉", "矿渣棉", "玻璃棉", "硅酸铝棉毡", "硅酸镁纤维毯", "泡沫玻璃", "玻璃钢", ""};
const QStringList kJacketTexts = {"铝合金薄板", "不锈钢薄板", "纤维织物（玻璃布等）", "铁皮", ""};
const QStringList kInsulationNumbers = {"80", "60", "10", "0.225", "1", "0.5", "3", "0", "1000", "1000.5", "-1", "abc", "", "1e400", "8,5"};
const QStringList kCaseNames = {"夏季最小负荷", "设计工况", "检修", " 冬季 ", "", "工况2", "=1+1"};
const QStringList kCaseNumbers = {"0.3", "1", "0.5", "0", "-1", "abc", "", "1.05", "300", "1e10", "２"};
const QStringList kSettingTexts = {"60", "8000", "1200", "150", "6", "8", "30", "0.5", "2.5", "abc", "-1", "", "100", "9000"};
constexpr int kSmallNetwork = 8;  // pipes: automatic sizing of more takes too long for a step
constexpr int kCheckpoint = 50;   // steps between two checks of the whole undo history

std::string utf8(const QString& text) { return text.toStdString(); }
std::string fileText(const PipelineDocument& document) { return writePipelineFile(document); }

/// The first cell or row header in which two tables differ, in text, tip, colours, font or check.
std::string difference(const QAbstractItemModel& shown, const QAbstractItemModel& fresh, const std::string& table)
{
    if (shown.rowCount() != fresh.rowCount()) return table + ": another count of rows than afresh";
    const int roles[] = {Qt::DisplayRole, Qt::ToolTipRole, Qt::BackgroundRole, Qt::ForegroundRole, Qt::FontRole, Qt::CheckStateRole};
    for (int row = 0; row < shown.rowCount(); ++row) {
        for (const int role : roles) {
            if (shown.headerData(row, Qt::Vertical, role) != fresh.headerData(row, Qt::Vertical, role))
                return table + ": the header of row " + std::to_string(row + 1) + " differs from afresh";
            for (int column = 0; column < shown.columnCount(); ++column) {
                const QModelIndex a = shown.index(row, column), b = fresh.index(row, column);
                if (a.data(role) != b.data(role))
                    return table + ": row " + std::to_string(row + 1) + " column " + std::to_string(column) + " shows \"" +
                           utf8(a.data().toString()) + "\", afresh \"" + utf8(b.data().toString()) + "\" (role " +
                           std::to_string(role) + ')';
            }
        }
    }
    return {};
}

bool sameProfile(const ProfileData& a, const ProfileData& b)
{
    const auto marks = [](const ProfileData& d) {
        QStringList texts;
        for (const ProfileData::Joint& joint : d.joints) texts << QString::number(joint.distance) + joint.label;
        for (const ProfileData::Span& span : d.flagged) texts << QString::number(span.from) + '-' + QString::number(span.to);
        return texts;
    };
    return a.pressure == b.pressure && a.temperature == b.temperature && a.saturation == b.saturation &&
           marks(a) == marks(b) && a.stop == b.stop && a.stopText == b.stopText && a.emptyText == b.emptyText;
}

QStringList itemsOf(const QComboBox& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i) items << list.itemText(i) + '=' + list.itemData(i).toString();
    return items;
}

/// What the walks reached: steps after which the window showed these.
struct Reached { int computed = 0, trees = 0, sized = 0, saved = 0, opened = 0, questions = 0, insulated = 0, designed = 0, otherCase = 0, solved = 0; };
/// Where a walk first failed, and how; step -1 for none.
struct Fault { int step = -1; std::string what; };

/// One walk: the main window with a state, its pipeline window, and a window that shows each
/// document afresh, to compare with.
class Walk {
public:
    Walk(unsigned seed, Reached& reached) : random_(seed), reached_(reached)
    {
        for (const char* name : kStarts)
            if (name != nullptr) QFile::copy(QDir(DORVENT_EXAMPLES).filePath(name), folder_.filePath(name));
        main_.show();
        control<QLineEdit>(main_, "Text1")->setText("1");
        control<QLineEdit>(main_, "Text2")->setText("250");
        control<QAction>(main_, "m31")->trigger();
        QObject::connect(&dialogs_, &QTimer::timeout, [this] { answerDialog(); });
        QObject::connect(stack(), &QUndoStack::indexChanged, window_, [this](int index) { followHistory(index); });
        begun_ = saved_ = now();
        if (const char* start = kStarts[seed % std::size(kStarts)]) {
            window_->openFile(folder_.filePath(start));
            opened(folder_.filePath(start));
        }
        afresh();
        QApplication::setActiveWindow(window_);
    }
    ~Walk()
    {
        messages_.answer = SaveChoice::discard;
        window_->close();
    }

    /// The first fault in so many steps, the whole undo history checked after them.
    Fault run(int steps);
    const std::vector<std::string>& log() const { return log_; }

private:
    // ---- The steps, each as a user takes it

    void typeCell()
    {
        const QModelIndex cell = anyCell(model_);
        const bool ends = cell.column() == static_cast<int>(Column::from) || cell.column() == static_cast<int>(Column::to);
        type(table_, cell, ends ? any(kNames) : any(pick(2) == 0 ? kSensible : kTexts));
    }
    /// A block of any shape, also larger than the table, from any cell.
    void pasteBlock()
    {
        const int rows = 1 + pick(pick(3) == 0 ? model_->rowCount() + 3 : 3), columns = 1 + pick(kColumnCount + 3);
        const QString end = pick(2) == 0 ? "\n" : "\r\n";
        QStringList lines;
        for (int row = 0; row < rows; ++row) {
            QStringList cells;
            for (int column = 0; column < columns; ++column) cells << any(pick(5) == 0 ? kPastedOnly : kTexts);
            lines << cells.join('\t');
        }
        pasteAt(table_, anyCell(model_), lines.join(end) + (pick(2) == 0 ? end : ""));
    }
    /// Rows that compute: a series main, or pipes from S or a node named before to a letter, so that
    /// the edits also start from networks, trees or not; sometimes in place of every row.
    void pasteRows() { pasteRows(pick(3) != 0, pick(3) == 0); }
    void pasteRows(bool network, bool whole)
    {
        if (whole && model_->segmentCount() > 0) {
            select(0, 0, model_->segmentCount() - 1, 0);
            trigger("mshanchu");
        }
        QStringList lines, ends = {"S"};
        for (int count = 1 + pick(whole ? 6 : 4), i = 0; i < count; ++i) {
            const QString from = network ? any(ends) : "", to = network ? QString(QChar('A' + (whole ? i : pick(6)))) : "";
            ends << to;
            const QString flow = network && !whole && pick(2) == 0 ? "" : any({"5", "10", "20"});
            lines << QStringList({"", from, to, any({"DN100", "DN150", "DN200", "DN250"}), "", "", "", any({"100", "250", "600"}),
                                  flow, "0.2", "1", "0.2", "20", "5", "架空"}).join('\t');
        }
        pasteAt(table_, model_->index(whole ? 0 : pick(model_->rowCount()), 0), lines.join('\n'));
    }
    void clearCells()
    {
        const QModelIndex from = anyCell(model_);
        select(from.row(), from.column(), from.row() + pick(3), from.column() + pick(4));
        const int how = pick(4);
        how < 2 ? QTest::keyClick(table_, how == 0 ? Qt::Key_Delete : Qt::Key_Backspace) : trigger(how == 2 ? "mqingchu" : "mjianqie");
    }
    void insertRow()
    {
        table_->setCurrentIndex(anyCell(model_));
        buttonOrMenu("cmdcharu", "mcharu");
    }
    void addRow() { buttonOrMenu("cmdtianjia", "mtianjia"); }
    void deleteRows()
    {
        const QModelIndex from = anyCell(model_);
        select(from.row(), from.column(), from.row() + pick(3), from.column());
        buttonOrMenu("cmdshanchu", "mshanchu");
    }
    void moveRow()
    {
        table_->setCurrentIndex(anyCell(model_));
        const char* const moves[] = {"cmdshangyi", "cmdxiayi", "mshangyi", "mxiayi"};
        const int move = pick(4);
        move < 2 ? click(moves[move]) : trigger(moves[move]);
    }
    /// A node's name, demand or requirement typed or pasted, or a row of them pasted.
    void editNode()
    {
        if (nodeTable_->model()->rowCount() == 0) return;
        const QModelIndex cell = anyCell(nodeTable_->model());
        const QString text = cell.column() == static_cast<int>(NodeColumn::name) ? any(kNames) : any(kTexts);
        if (pick(3) != 0) return type(nodeTable_, cell, text);
        const QString row = QStringList({any(kNames), "用户", any(kTexts), any(kTexts), any(kTexts)}).join('\t');
        pasteAt(nodeTable_, cell, pick(2) == 0 ? text : row);
    }
    /// A node made a source, at a fixed pressure or of a fixed flow, or no longer one; or a source's
    /// pressure, temperature or flow typed.
    void markSource()
    {
        if (nodeTable_->model()->rowCount() == 0) return;
        const NodeColumn column = kSourceColumns[static_cast<std::size_t>(pick(4))];
        const QModelIndex cell = nodeTable_->model()->index(pick(nodeTable_->model()->rowCount()), static_cast<int>(column));
        const QStringList texts = column == NodeColumn::source            ? QStringList{"定压", "定流量", "", "定压", "热"}
                                  : column == NodeColumn::sourcePressure    ? QStringList{"1.2", "0.9", "1.6", "", "x"}
                                  : column == NodeColumn::sourceTemperature ? QStringList{"280", "320", "", "150"}
                                                                            : QStringList{"5", "20", "", "0", "-3"};
        type(nodeTable_, cell, any(texts));
    }
    void toggleFixed()  // as a click on the check does
    {
        const QModelIndex cell = model_->index(pick(model_->rowCount()), static_cast<int>(Column::fixed));
        model_->setData(cell, cell.data(Qt::CheckStateRole).toInt() == Qt::Checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    /// A unit picked, the main window's state taken, or keys into a box, over its text or after it.
    void editHeader()
    {
        const int what = pick(4);
        const char* const lists[] = {"cboyali", "cbowendu", "cbowenjiang"};
        if (what == 0) return stepList(lists[pick(3)]);
        if (what == 1) return click("cmdqu");
        const char* const boxes[] = {"txtxiangmu", "txtshejiren", "txtyali", "txtwendu", "txtyuliang", "txtgandu"};
        typeInto(boxes[pick(6)], [this] {
            return pick(4) == 0 ? QString() : any({"1", "1.6", "250", "320", "0.5", "1e10", "abc", "-5", "１", "1,6", "0.9", ".7"});
        });
    }
    /// Up or Down in the named list.
    void stepList(const char* name)
    {
        auto* list = control<QComboBox>(*window_, name);
        list->setFocus();
        QTest::keyClick(list, pick(2) == 0 ? Qt::Key_Up : Qt::Key_Down);
    }
    /// Keys into the named box, over its text or after it; none: Backspace.
    void typeInto(const char* name, const std::function<QString()>& anyKeys)
    {
        auto* box = control<QLineEdit>(*window_, name);
        box->setFocus();
        pick(2) == 0 ? box->selectAll() : box->end(false);
        const QString keys = anyKeys();
        detail_ = box->objectName() + ' ' + keys;
        keys.isEmpty() ? QTest::keyClick(box, Qt::Key_Backspace) : press(keys);
    }
    /// 自动选管 on a small network, pasted first if there is none; the proposal applied, cancelled,
    /// or made anew without telescoping.
    void size()
    {
        if (!model_->result().network || model_->segmentCount() > kSmallNetwork) pasteRows(true, true);
        sizing_ = pick(3);
        answeringDialogs([this] { trigger("mzidongxuanguan"); });
    }
    void undo() { undoOrRedo("mchexiao"); }
    void redo() { undoOrRedo("mchongzuo"); }
    void save()
    {
        const QString path = !file_.isEmpty() ? file_ : pick(4) != 0 ? folder_.filePath(any(kSaveNames)) : QString();
        saveWith("mbaocun", path, file_.isEmpty());  // into the dialog of an untitled document; nothing: 取消
    }
    void saveAs() { saveWith("mlingcun", pick(5) != 0 ? folder_.filePath(any(kSaveNames)) : QString(), true); }
    void saveWith(const char* action, const QString& path, bool asked)
    {
        if (asked) fileAnswers_ << path;
        answeringDialogs([this, action] { trigger(action); });
        if (!path.isEmpty()) savedTo(path, now());
    }
    /// 打开… an example's copy or a file the walk saved.
    void open()
    {
        const QStringList files = QDir(folder_.path()).entryList({"*.dorvent"}, QDir::Files, QDir::Name);
        const QString path = pick(6) != 0 ? folder_.filePath(any(files)) : QString();
        const bool goesOn = answerTheQuestion();
        answeringDialogs([&] {
            fileAnswers_ << path;  // after the file of an untitled document saved first
            trigger("mdakai");
        });
        if (goesOn && !path.isEmpty()) opened(path);
    }
    /// The newest of the recent files, from its menu.
    void reopen()
    {
        auto* menu = control<QMenu>(*window_, "mzuijin");
        emit menu->aboutToShow();
        if (menu->actions().isEmpty()) return;
        const QString path = menu->actions().first()->toolTip();
        const bool goesOn = answerTheQuestion();
        answeringDialogs([menu] { menu->actions().first()->trigger(); });
        if (goesOn) opened(path);
    }
    void newDocument()
    {
        const bool goesOn = answerTheQuestion();
        answeringDialogs([this] { trigger("mxinjian"); });
        if (!goesOn) return;
        file_.clear();
        saved_ = begun_;
        afresh();
    }
    /// The window closed and shown again from the main window's menu: with what was saved when the
    /// changes were declined.
    void closeAndShow()
    {
        const bool goesOn = answerTheQuestion(), declined = questions_ > 0 && messages_.answer == SaveChoice::discard;
        answeringDialogs([this] { trigger("mguanbi"); });
        if (window_->isVisible() == goesOn) fail(goesOn ? "the window stayed open" : "the window closed although cancelled");
        control<QAction>(main_, "m31")->trigger();
        if (goesOn && now() != saved_) fail("the window came back with changes that were not saved");
        if (declined) afresh();
    }
    // ---- Insulation: the constructions, own materials and settings of the page 保温做法, the pipes'
    // source picked from the constructions, and the thickness design

    /// A construction added, a whole row pasted, a cell typed, cleared or picked from its list, or the
    /// selected rows deleted (refused, with a message, while a pipe uses one).
    void editConstruction()
    {
        const int what = pick(7);
        if (addedFirst(constructions_, "cmdtianjiazuofa", what)) return;
        const int rows = constructions_->model()->rowCount();
        const QModelIndex cell = anyCell(constructions_->model());
        if (what <= 1) return pasteAt(constructions_, constructions_->model()->index(pick(rows), 0), any(kConstructionRows));
        const int lists[] = {1, 3, 5};  // the materials and the jacket
        if (what == 2) return pickFromList(constructions_, constructions_->model()->index(cell.row(), lists[pick(3)]));
        if (what == 3) {
            constructions_->setCurrentIndex(cell);
            return QTest::keyClick(constructions_, Qt::Key_Delete);
        }
        if (what == 4) {
            constructions_->setCurrentIndex(cell);
            allowed_ << QStringLiteral("保温做法“");  // in use: which pipes use it
            return click("cmdshanchuzuofa");
        }
        const int column = cell.column();
        type(constructions_, cell, column == 0 ? any(kInsulationNames) : column == 1 || column == 3 ? any(kLayerTexts)
                                   : column == 5 ? any(kJacketTexts) : any(kInsulationNumbers));
    }
    // ---- Load cases: the page of cases, each case's demand column in the node table, the case shown

    /// A case added or copied, the current one deleted or moved, a cell of the page or of a case's
    /// demand column typed into, or another case shown.
    void editCase()
    {
        const int what = pick(10);
        if (what <= 1) return click(what == 0 ? "cmdtianjiagongkuang" : "cmdfuzhigongkuang");
        cases_->setCurrentIndex(anyCell(cases_->model()));
        const char* const buttons[] = {"cmdshanchugongkuang", "cmdshangyigongkuang", "cmdxiayigongkuang"};
        if (what <= 3) return click(buttons[pick(3)]);
        if (what == 4) {
            auto* list = control<QComboBox>(*window_, "cbogongkuang");
            const int index = pick(list->count());
            list->setCurrentIndex(index);
            emit list->activated(index);
            detail_ = list->currentText();
            return;
        }
        const QAbstractItemModel* nodes = nodeTable_->model();
        if (what <= 6 && nodes->columnCount() > kAllNodeColumnCount && nodes->rowCount() > 0) {
            return type(nodeTable_, nodes->index(pick(nodes->rowCount()), kAllNodeColumnCount + pick(nodes->columnCount() - kAllNodeColumnCount)),
                        any(kCaseNumbers));
        }
        const QModelIndex cell = anyCell(cases_->model());
        type(cases_, cell, cell.column() == 0 ? any(kCaseNames) : any(kCaseNumbers));
    }
    void editMaterial()
    {
        const int what = pick(5);
        if (addedFirst(materials_, "cmdtianjiacailiao", what)) return;
        if (what <= 1) return pasteAt(materials_, materials_->model()->index(pick(materials_->model()->rowCount()), 0), any(kMaterialRows));
        const QModelIndex cell = anyCell(materials_->model());
        if (what == 2) {
            materials_->setCurrentIndex(cell);
            allowed_ << QStringLiteral("材料“");
            return click("cmdshanchucailiao");
        }
        type(materials_, cell, cell.column() == 0 ? any(kInsulationNames) : any(kInsulationNumbers));
    }
    /// A pipe's heat-loss source from its list, whose last entries are the constructions, or pasted as "保温："
    /// and a name, mostly of a construction of the document; a whole construction pasted first when there is none.
    void insulatePipe()
    {
        if (model_->segmentCount() == 0) return;
        if (model_->document().constructions.empty()) {
            showInsulationPage();
            click("cmdtianjiazuofa");
            pasteAt(constructions_, constructions_->model()->index(0, 0), any(kConstructionRows));
        }
        const QModelIndex cell = model_->index(pick(model_->segmentCount()), static_cast<int>(Column::heatLossSource));
        QStringList names;
        for (const InsulationConstruction& c : model_->document().constructions) names << QString::fromStdString(c.name);
        const int how = pick(4);
        if (how == 0) return pickFromList(table_, cell);
        pasteAt(table_, cell, QStringLiteral("保温：") + (how == 1 || names.isEmpty() ? any(kInsulationNames) : any(names)));
    }
    /// Keys into a settings box, over its text or after it, or the operation picked.
    void editSettings()
    {
        showInsulationPage();
        if (pick(5) == 0) return stepList("cboyunxing");
        const char* const boxes[] = {"txtbiaomianwendu", "txtrejia", "txtxiaoshi", "txtcailiaojia", "txtwaihujia", "txtnianxian", "txtlilv"};
        typeInto(boxes[pick(7)], [this] { return any(kSettingTexts); });
    }
    /// 保温厚度计算 for a few pipes; its proposal applied, cancelled, or another thickness chosen and applied.
    void designThickness()
    {
        if (model_->segmentCount() == 0) return;
        const auto insulatedRows = [this] { return rowsWhere([](const SegmentRun& run) { return run.insulation.has_value(); }); };  // and computed
        if (insulatedRows().empty() && pick(4) != 0) insulateAComputedPipe();
        const std::vector<int> insulated = insulatedRows();
        const int first = !insulated.empty() && pick(4) != 0 ? insulated[static_cast<std::size_t>(pick(static_cast<int>(insulated.size())))]
                                                             : pick(model_->segmentCount());
        select(first, 0, first + pick(3), 0);
        thickness_ = pick(3);
        allowed_ << QStringLiteral("请先在管段表中选择按保温做法") << QStringLiteral("保温做法已有");
        answeringDialogs([this] { trigger("mbaowenhoudu"); });
    }
    /// A pipe that computes insulated by a whole construction of its own, pasted into a new row.
    void insulateAComputedPipe()
    {
        const std::vector<int> computed = rowsWhere([](const SegmentRun& run) { return run.status == SegmentStatus::computed; });
        if (computed.empty()) return;
        showInsulationPage();
        click("cmdtianjiazuofa");
        const int row = constructions_->model()->rowCount() - 1;
        pasteAt(constructions_, constructions_->model()->index(row, 0), kConstructionRows[pick(2)]);
        const QString name = constructions_->model()->index(row, 0).data().toString();
        const int pipe = computed[static_cast<std::size_t>(pick(static_cast<int>(computed.size())))];
        pasteAt(table_, model_->index(pipe, static_cast<int>(Column::heatLossSource)), QStringLiteral("保温：") + name);
    }
    void showInsulationPage() { control<QTabWidget>(*window_, "tabtu")->setCurrentIndex(2); }
    /// The insulation page shown, and a row added to the table when what is 0 or it has none; whether that is all.
    bool addedFirst(PipelineTableView* view, const char* add, int what)
    {
        showInsulationPage();
        if (what != 0 && view->model()->rowCount() != 0) return false;
        click(add);
        return pick(2) == 0;
    }
    /// The pipes whose result is so.
    std::vector<int> rowsWhere(bool (*is)(const SegmentRun&)) const
    {
        std::vector<int> rows;
        for (int row = 0; row < model_->segmentCount(); ++row)
            if (is(model_->result().segments[static_cast<std::size_t>(row)])) rows.push_back(row);
        return rows;
    }
    /// F2 opens the cell's list; a key moves in it, which picks, or Esc leaves it.
    void pickFromList(PipelineTableView* view, const QModelIndex& cell)
    {
        view->setFocus();
        view->setCurrentIndex(cell);
        QTest::keyClick(view, Qt::Key_F2);
        const Qt::Key keys[] = {Qt::Key_End, Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_Escape};
        const Qt::Key key = keys[pick(5)];
        if (QWidget* editor = QApplication::focusWidget(); editor != nullptr && editor != view) QTest::keyClick(editor, key);
        if (QApplication::focusWidget() != view) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        detail_ = QStringLiteral("(%1, %2) list key %3").arg(cell.row()).arg(cell.column()).arg(key);
    }

    void switchTab()
    {
        auto* tabs = control<QTabWidget>(*window_, "tabtu");
        tabs->setCurrentIndex(pick(tabs->count()));
    }
    void pickProfileNode()
    {
        auto* list = control<QComboBox>(*window_, "cbolujing");
        control<QTabWidget>(*window_, "tabtu")->setCurrentIndex(0);
        list->setFocus();
        const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End};
        QTest::keyClick(list, keys[pick(4)]);
    }
    /// A click on a pipe, a node or anywhere in the schematic, sometimes after it was fitted to the window.
    void clickSchematic()
    {
        auto* view = control<SchematicView>(*window_, "tuguanwang");
        control<QTabWidget>(*window_, "tabtu")->setCurrentWidget(view);
        if (pick(4) == 0) trigger("mshiying");
        const std::vector<Schematic::Item>& items = view->schematic().items;
        QPoint at(pick(200), pick(200));
        if (!items.empty() && pick(4) != 0) {
            const Schematic::Item& item = items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
            at = view->mapFromScene(item.kind == Schematic::Item::pipe ? (item.line.first() + item.line.last()) / 2 : item.shape.center());
        }
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    void pickRow()
    {
        PipelineTableView* view = pick(2) == 0 ? table_ : nodeTable_;
        if (view->model()->rowCount() > 0) view->setCurrentIndex(anyCell(view->model()));
    }
    /// The exports from their menus into the walk's folder; the CSV holds a fresh calculation.
    void exportFile()
    {
        const std::pair<const char*, const char*> exports[] = {{"mdaochucsv", "walk.csv"}, {"mdaochutu", "walk.png"},
                                                               {"mdaochutu", "walk.pdf"}, {"mjisuanshu", "report.pdf"},
                                                               {"mdaochuguanwang", "network.svg"}};
        const auto [action, name] = exports[pick(5)];
        const QString path = folder_.filePath(name);
        QFile::remove(path);
        fileAnswers_ << path;
        answeringDialogs([this, action = action] { trigger(action); });
        detail_ = name;
        const PipelineDocument& d = model_->document();
        if (QFileInfo(path).size() == 0) fail(std::string("nothing written to ") + name);
        if (path.endsWith(".csv") && bytesOf(path).toStdString() != "\xEF\xBB\xBF" + casesCsv(d, calculateCases(d), false))
            fail("the CSV is not the table of a fresh calculation");
    }

    // ---- The invariants, after every step

    /// The tables, the totals line, the failure line, the profile's list and chart and the
    /// schematic are those of a window that has just opened the document.
    std::string showsAFreshCalculation()
    {
        const PipelineDocument& document = model_->document();
        fresh_.newDocument();
        fresh_.model()->resetDocument(document);
        fresh_.model()->showCase(model_->shownCase());  // the case picked, as the window shows it
        const auto* shownCases = control<QComboBox>(*window_, "cbogongkuang");
        if (itemsOf(*shownCases) != itemsOf(*control<QComboBox>(fresh_, "cbogongkuang")) ||
            shownCases->currentIndex() != static_cast<int>(model_->shownCase())) {
            return "cbogongkuang lists other cases than afresh, or not the one shown";
        }
        for (const PipelineTableView* view : {table_, nodeTable_, constructions_, materials_, cases_}) {
            const std::string name = utf8(view->objectName());
            if (std::string fault = difference(*view->model(), *control<PipelineTableView>(fresh_, name.c_str())->model(), name); !fault.empty()) return fault;
        }
        const auto* freshTable = control<PipelineTableView>(fresh_, "tblguanduan");
        for (int column = 0; column < kColumnCount; ++column)
            if (table_->isColumnHidden(column) != freshTable->isColumnHidden(column))
                return "column " + std::to_string(column) + (table_->isColumnHidden(column) ? " hidden" : " shown") + ", not as afresh";
        // A lowest dryness the document cannot take, still in its box, says so on the failure line.
        const QString typedDryness = control<QLineEdit>(*window_, "txtgandu")->text().trimmed();
        const std::optional<double> dryness = readCellNumber(typedDryness.toStdString());
        const bool refusedDryness = !typedDryness.isEmpty() && !(dryness && *dryness > 0 && *dryness <= 1);
        for (const char* name : {"lblzongji", "lblxiaoxi"}) {
            const auto *shown = control<QLabel>(*window_, name), *afresh = control<QLabel>(fresh_, name);
            if (refusedDryness && name == std::string_view("lblxiaoxi")) {
                if (!shown->text().startsWith(QStringLiteral("最低干度“"))) return "lblxiaoxi does not say why the lowest dryness is not taken";
                continue;
            }
            if (shown->text() != afresh->text() || shown->isVisibleTo(window_) != afresh->isVisibleTo(&fresh_))
                return name + (" shows \"" + utf8(shown->text()) + "\", afresh \"" + utf8(afresh->text()) + '"');
        }
        const auto* path = control<QComboBox>(*window_, "cbolujing");
        if (itemsOf(*path) != itemsOf(*control<QComboBox>(fresh_, "cbolujing"))) return "cbolujing lists other nodes than afresh";
        const PipelineResult& result = fresh_.model()->result();
        // The node picked, by its name; none: the critical consumer.
        const auto to = std::ranges::find_if(result.nodes, [path](const NodeRun& n) { return QString::fromStdString(n.name) == path->currentData().toString(); });
        const ProfileData profile = to != result.nodes.end()
                                        ? profileData(document, result, pathTo(result, static_cast<std::size_t>(to - result.nodes.begin())))
                                        : profileData(document, result);
        if (!sameProfile(control<ProfileView>(*window_, "chtpoumian")->data(), profile))
            return "the profile to " + utf8(path->currentText()) + " is not that of a fresh calculation";
        if (schematicSvg(control<SchematicView>(*window_, "tuguanwang")->schematic()) != schematicSvg(makeSchematic(document, result)))
            return "the schematic is not that of a fresh calculation";
        return {};
    }
    /// A row that computed is marked as failed neither at its header nor at any cell.
    std::string noComputedRowIsFlagged()
    {
        for (int row = 0; row < model_->segmentCount(); ++row) {
            if (fresh_.model()->result().segments[static_cast<std::size_t>(row)].status != SegmentStatus::computed) continue;
            bool marked = model_->headerData(row, Qt::Vertical, Qt::BackgroundRole).isValid();
            for (int column = 0; column < kColumnCount; ++column) marked = marked || !model_->problemOf(row, column).isEmpty();
            if (marked) return "row " + std::to_string(row + 1) + " computed and is marked";
        }
        return {};
    }
    /// No result shows inf, nan or an exponent; input cells show what was typed.
    std::string showsOnlyFiniteNumbers()
    {
        static const QRegularExpression bad("inf|nan|[0-9][eE][-+]?[0-9]");
        QStringList shown = {shownIn(*window_, "lblzongji").section(QStringLiteral("。"), 0, 0)};  // the names after it are typed
        const auto results = [&shown](const QAbstractItemModel* model, int first, int last) {
            for (int row = 0; row < model->rowCount(); ++row)
                for (int column = first; column < last; ++column) shown << model->index(row, column).data().toString();
        };
        results(model_, static_cast<int>(kFirstResultColumn), static_cast<int>(Column::remark));
        results(nodeTable_->model(), static_cast<int>(kFirstNodeResult), static_cast<int>(NodeColumn::remark));
        results(nodeTable_->model(), static_cast<int>(NodeColumn::feeders), static_cast<int>(NodeColumn::feeders) + 1);
        for (const QString& text : shown)
            if (text.contains(bad)) return "shows \"" + utf8(text) + '"';
        return {};
    }
    /// The header boxes show the document, but for a number the document cannot take, which stays
    /// in its box. An empty margin is no margin: 0.
    std::string headerShowsTheDocument()
    {
        const PipelineDocument& d = model_->document();
        const std::tuple<const char*, std::optional<double>, bool> numbers[] = {
            {"txtyali", d.startPressure, false}, {"txtwendu", d.startTemperature, false}, {"txtyuliang", d.superheatMargin, true}};
        for (const auto& [name, value, emptyIsZero] : numbers) {
            const QString text = shownIn(*window_, name);
            const std::optional<double> read = text.isEmpty() && !emptyIsZero ? std::nullopt : std::optional(readNumber(utf8(text)));
            if (read != value && !(read && !isDocumentNumber(*read))) return name + (" shows \"" + utf8(text) + "\", not the document");
        }
        const auto shows = [this](const char* name, const std::string& text) { return utf8(shownIn(*window_, name)) == text; };
        if (!shows("txtxiangmu", d.project) || !shows("txtshejiren", d.designer)) return "a name differs";
        // The settings: as the document holds them (the interest rate in %), or a text it cannot take, which
        // leaves the document as it was.
        const InsulationSettings& s = d.insulation;
        struct Setting { const char* box; std::optional<double> value; double scale, low, high; bool lowIncluded = true, whole = false; };
        const Setting settings[] = {{"txtbiaomianwendu", s.surfaceLimit, 1, 0, 1000, false}, {"txtrejia", s.heatPrice, 1, 0, kLargestNumber},
                                    {"txtxiaoshi", s.hours, 1, 0, 8784, false},               {"txtcailiaojia", s.insulationPrice, 1, 0, kLargestNumber},
                                    {"txtwaihujia", s.jacketPrice, 1, 0, kLargestNumber},     {"txtnianxian", s.years, 1, 1, 100, true, true},
                                    {"txtlilv", s.interest, 100, 0, 1}};
        for (const Setting& setting : settings) {
            const QString text = shownIn(*window_, setting.box).trimmed();
            std::optional<double> read = readCellNumber(utf8(text));
            if (read) *read /= setting.scale;
            const bool takes = read && *read <= setting.high && (*read > setting.low || (setting.lowIncluded && *read == setting.low)) &&
                               (!setting.whole || *read == std::floor(*read));
            const bool same = takes ? setting.value && std::fabs(*read - *setting.value) <= 1e-12 * std::fabs(*setting.value) : true;
            if (!same || (text.isEmpty() && setting.value)) return setting.box + (" shows \"" + utf8(text) + "\", not the document");
        }
        if (shownIn(*window_, "cboyunxing") != (s.seasonal ? QStringLiteral("季节运行") : QStringLiteral("常年运行"))) return "the operation differs";
        // The law as the document holds it; the lowest dryness too, or a text it cannot take.
        if (utf8(shownIn(*window_, "cbowenjiang")) != kTemperatureLawNames[static_cast<int>(d.temperatureLaw)]) return "the law differs";
        const std::optional<double> lowest = readCellNumber(utf8(shownIn(*window_, "txtgandu").trimmed()));
        if (lowest && *lowest > 0 && *lowest <= 1 && *lowest != d.lowestDryness) return "txtgandu shows another dryness than the document";
        return shows("cboyali", d.pressureUnit) && shows("cbowendu", d.temperatureUnit) ? std::string() : "a unit differs";
    }
    /// The document's file reads back as the document and is written again as the same text.
    std::string fileReadsBack()
    {
        const PipelineFileRead read = readPipelineFile(now());
        if (!read.document) return "its file cannot be read: " + read.error;
        if (*read.document != model_->document()) return "its file reads back as another document";
        return fileText(*read.document) == now() ? std::string() : "its file is written otherwise the second time";
    }
    /// The document is what it was at this point of its history: every change is a step to undo.
    std::string undoGivesBackEachState()
    {
        if (history_.size() != static_cast<std::size_t>(stack()->count()) + 1) return "the undo stack holds other steps than were taken";
        if (history_[static_cast<std::size_t>(stack()->index())] != now()) return "the document changed without a step to undo";
        return {};
    }
    /// The title names the file and carries the unsaved mark exactly when the document is not what
    /// was saved; the undo stack is clean then and only then.
    std::string unsavedMarkMeansChanges()
    {
        const bool changed = now() != saved_;
        const QString name = file_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(file_).fileName();
        if (!window_->windowTitle().contains(name + "[*]")) return "the title is \"" + utf8(window_->windowTitle()) + '"';
        if (window_->isWindowModified() != changed) return changed ? "unsaved changes are not marked" : "marked unsaved, but the document is as saved";
        return stack()->isClean() != changed ? std::string() : "the undo stack's clean state differs from the saved document";
    }
    /// The current rows of both tables are marked in the schematic, where it draws them.
    std::string schematicMarksTheCurrentRows()
    {
        const auto* view = control<SchematicView>(*window_, "tuguanwang");
        const auto marked = [view](Schematic::Item::Kind kind, const QModelIndex& current) {
            const auto index = static_cast<std::size_t>(current.row());
            const auto drawn = [&](const Schematic::Item& item) { return item.kind == kind && item.index == index; };
            return !current.isValid() || !std::ranges::any_of(view->schematic().items, drawn) || view->isHighlighted(kind, index);
        };
        if (!marked(Schematic::Item::pipe, table_->currentIndex())) return "the current pipe is not marked";
        return marked(Schematic::Item::node, nodeTable_->currentIndex()) ? std::string() : "the current node is not marked";
    }
    /// The only message a step may bring is the question about unsaved changes, when it asks it.
    std::string noUnexpectedMessage()
    {
        QStringList texts = std::exchange(messages_.texts, {});
        texts.removeIf([this](const QString& text) { return std::ranges::any_of(allowed_, [&text](const QString& start) { return text.startsWith(start); }); });
        if (texts.size() == questions_ && (questions_ == 0 || texts[0].startsWith(QStringLiteral("管线“")))) return {};
        return "messages: " + utf8(texts.join(" / "));
    }
    /// Every step undone back to the document opened or begun, each state checked as it comes
    /// back (followHistory), then redone to the last, and back to where the walk was.
    std::string undoAndRedoAll()
    {
        const int index = stack()->index();
        const std::string text = now();
        undoing_ = true;
        while (stack()->canUndo()) trigger("mchexiao");
        const bool first = now() == history_.front();
        while (stack()->canRedo()) trigger("mchongzuo");
        const bool last = now() == history_.back();
        while (stack()->index() > index) trigger("mchexiao");
        undoing_ = false;
        if (!first || !last) return first ? "redone, the document is not the last" : "undone, the document is not the one opened or begun";
        return now() == text ? stepFault_ : "back where it was, the document differs";
    }

    struct Step { const char* name; int weight; void (Walk::*take)(); };
    struct Invariant { const char* name; std::string (Walk::*check)(); };
    static const Step kSteps[];
    static const Invariant kInvariants[];

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    const QString& any(const QStringList& texts) { return texts[pick(static_cast<int>(texts.size()))]; }
    QModelIndex anyCell(const QAbstractItemModel* model) { return model->index(pick(model->rowCount()), pick(model->columnCount())); }
    void trigger(const char* action) { control<QAction>(*window_, action)->trigger(); }
    PipelineTableView* table(const char* name) const { return control<PipelineTableView>(*window_, name); }
    void click(const char* button) { control<QPushButton>(*window_, button)->click(); }
    void buttonOrMenu(const char* button, const char* action) { pick(2) == 0 ? click(button) : trigger(action); }
    void fail(const std::string& fault) { stepFault_ = stepFault_.empty() ? fault : stepFault_; }
    std::string now() const { return fileText(model_->document()); }
    QUndoStack* stack() const { return model_->undoStack(); }

    /// The block of the pipe table between two cells, the first current, as a drag selects it.
    void select(int top, int left, int bottom, int right)
    {
        const QModelIndex from = model_->index(top, left);
        table_->setFocus();
        table_->setCurrentIndex(from);
        const QModelIndex to = model_->index(std::min(bottom, model_->rowCount() - 1), std::min(right, kColumnCount - 1));
        table_->selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
        detail_ = QStringLiteral("(%1, %2)-(%3, %4)").arg(top).arg(left).arg(to.row()).arg(to.column());
    }
    /// Keys into a cell as the keyboard gives them: the first starts the edit; then Enter, Tab or Esc.
    void type(QAbstractItemView* view, const QModelIndex& cell, const QString& keys)
    {
        view->setFocus();
        view->setCurrentIndex(cell);
        press(keys);
        const Qt::Key ends[] = {Qt::Key_Return, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape};
        QTest::keyClick(QApplication::focusWidget(), ends[pick(4)]);
        QCoreApplication::processEvents();  // the edit ends after the key
        detail_ = QStringLiteral("(%1, %2) \"%3\"").arg(cell.row()).arg(cell.column()).arg(keys);
    }
    void pasteAt(PipelineTableView* view, const QModelIndex& cell, const QString& text)
    {
        QApplication::clipboard()->setText(text);
        view->setFocus();
        view->setCurrentIndex(cell);
        view == table_ && pick(2) == 0 ? trigger("mzhantie") : QTest::keySequence(view, QKeySequence::Paste);
        detail_ = QStringLiteral("(%1, %2) \"%3\"").arg(cell.row()).arg(cell.column()).arg(text);
    }
    void undoOrRedo(const char* action)
    {
        const int steps = 1 + (pick(4) == 0 ? pick(20) : pick(3));
        undoing_ = true;
        for (int i = 0; i < steps; ++i) trigger(action);
        undoing_ = false;
        detail_ = QString::number(steps);
    }
    /// Runs an action whose dialogs the walk answers (answerDialog); then the changes saved when
    /// the question about them said 保存 are where they should be.
    void answeringDialogs(const std::function<void()>& act)
    {
        dialogs_.start(0);
        act();
        dialogs_.stop();
        fileAnswers_.clear();
        if (savedFirst_) savedTo(savedFirst_->first, savedFirst_->second);
        savedFirst_.reset();
    }
    /// A file dialog gets the next file (none: 取消), the question whether to replace a file yes,
    /// the sizing proposal what sizing_ says.
    void answerDialog()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog != nullptr && !dialog->property("answered").toBool()) {
            dialog->setProperty("answered", true);
            const QString file = fileAnswers_.isEmpty() ? QString() : fileAnswers_.takeFirst();
            if (file.isEmpty()) return dialog->reject();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(file);
            // As the 保存 button does, once this look is over: the question whether to replace a file comes then.
            QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->button(QMessageBox::Yes)->click();
        } else if (modal != nullptr && modal->objectName() == QLatin1String("dlghoudu")) {
            if (thickness_ == 2) {  // another candidate of the pipe shown chosen
                auto* trials = control<QTableWidget>(*modal, "tblhouxuan");
                if (trials->rowCount() > 0) trials->setCurrentCell(pick(trials->rowCount()), 0);
                control<QPushButton>(*modal, "cmdcaiyong")->click();
            }
            applyOrCancel(*modal, thickness_ != 1, reached_.designed);
        } else if (modal != nullptr && modal->objectName() == QLatin1String("dlgxuanguan")) {
            if (sizing_ == 2) {  // proposed anew without telescoping, and applied at the next look
                sizing_ = 0;
                return control<QCheckBox>(*modal, "chkshensuo")->click();
            }
            applyOrCancel(*modal, sizing_ == 0, reached_.sized);
        }
    }
    /// 应用 where it is to be and can, counted; 取消 else.
    static void applyOrCancel(QWidget& dialog, bool apply, int& applied)
    {
        auto* button = control<QPushButton>(dialog, "cmdyingyong");
        apply = apply && button->isEnabled();
        applied += apply ? 1 : 0;
        (apply ? button : control<QPushButton>(dialog, "cmdquxiao"))->click();
    }
    /// Sets the answer to the question about unsaved changes, if the window asks it; whether the
    /// action goes on. Saving an untitled document takes a file from its dialog.
    bool answerTheQuestion()
    {
        // A cell still being edited ends first, as the window ends it before it asks.
        if (QWidget* focus = QApplication::focusWidget(); focus != nullptr && window_->isAncestorOf(focus)) focus->clearFocus();
        if (stack()->isClean()) return true;
        questions_ = 1;
        ++reached_.questions;
        const SaveChoice choices[] = {SaveChoice::save, SaveChoice::discard, SaveChoice::cancel};
        messages_.answer = choices[pick(3)];
        if (messages_.answer == SaveChoice::save) {
            savedFirst_ = {file_.isEmpty() ? folder_.filePath(any(kSaveNames)) : file_, now()};
            if (file_.isEmpty()) fileAnswers_ << savedFirst_->first;
        }
        return messages_.answer != SaveChoice::cancel;
    }
    /// The document went into this file, as typed in the dialog.
    void savedTo(const QString& path, const std::string& text)
    {
        file_ = path.endsWith(".dorvent") ? path : path + ".dorvent";
        saved_ = text;
        ++reached_.saved;
        if (bytesOf(file_).toStdString() != text) fail("the file saved does not hold the document");
    }
    /// The file is open: the window shows what it holds, which is now the document saved.
    void opened(const QString& path)
    {
        const PipelineFileRead read = readPipelineFile(bytesOf(path).toStdString());
        if (!read.document) return fail("the file opened cannot be read: " + read.error);
        file_ = path;
        saved_ = fileText(*read.document);  // an example of an older version is written anew
        ++reached_.opened;
        if (*read.document != model_->document()) fail("the window does not show the file opened");
        afresh();
    }
    /// A document opened or begun afresh: nothing to undo.
    void afresh()
    {
        if (stack()->count() != 0) fail("a document opened or begun afresh keeps steps to undo");
        history_ = {now()};
    }
    /// Follows the undo stack: a step taken (or merged into the last) is recorded, one undone or
    /// redone gives back what was recorded.
    void followHistory(int index)
    {
        const auto at = static_cast<std::size_t>(index);
        if (!undoing_) {
            history_.resize(at);
            history_.push_back(now());
        } else if (at >= history_.size() || history_[at] != now()) {
            fail("undone or redone to step " + std::to_string(index) + ", the document is not what it was then");
        }
    }

    RecordingMessages messages_;
    QTemporaryDir folder_;
    std::mt19937 random_;
    Reached& reached_;
    // The same recent files for every replay: none, before the windows that list them are made.
    bool forgotten_ = [] {
        for (const QString& path : recentFiles()) forgetRecentFile(path);
        return true;
    }();
    frmdorvent main_;
    frmguanxian* window_ = main_.pipelineWindow();
    PipelineModel* model_ = window_->model();
    PipelineTableView *table_ = table("tblguanduan"), *nodeTable_ = table("tbljiedian");
    PipelineTableView *constructions_ = table("tblbaowen"), *materials_ = table("tblcailiao");
    PipelineTableView* cases_ = table("tblgongkuang");
    frmguanxian fresh_{nullptr};
    QTimer dialogs_;           // answers the dialogs while a step runs
    QStringList fileAnswers_;  // the files chosen in the next file dialogs
    std::optional<std::pair<QString, std::string>> savedFirst_;  // where the changes go, and what they are, when saved first
    int sizing_ = 0;           // the proposal: 0 applied, 1 cancelled, 2 made without telescoping, then applied
    int thickness_ = 0;        // the thickness design: 0 applied, 1 cancelled, 2 another thickness chosen and applied
    QStringList allowed_;      // the messages the step may bring, by their start

    // What the walk knows, independently of the window.
    QString file_;                      // the document's file; empty while untitled
    std::string saved_;                 // the text of the document as saved, opened or begun
    std::string begun_;                 // the text of a new document
    std::vector<std::string> history_;  // the document's text at every index of the undo stack
    bool undoing_ = false;              // steps are undone or redone: each state is checked as it comes back
    int questions_ = 0;                 // questions about unsaved changes the step may ask
    std::string stepFault_;
    QString detail_;                    // what the step did, for the log
    std::vector<std::string> log_;
};

const Walk::Step Walk::kSteps[] = {
    {"type", 14, &Walk::typeCell},     {"paste", 7, &Walk::pasteBlock},        {"paste rows", 8, &Walk::pasteRows},
    {"clear", 4, &Walk::clearCells},   {"insert", 3, &Walk::insertRow},        {"add", 3, &Walk::addRow},
    {"delete", 4, &Walk::deleteRows},  {"move", 3, &Walk::moveRow},            {"node", 8, &Walk::editNode},
    {"fixed", 3, &Walk::toggleFixed},  {"header", 4, &Walk::editHeader},       {"size", 3, &Walk::size},
    {"undo", 8, &Walk::undo},          {"redo", 5, &Walk::redo},               {"save", 2, &Walk::save},
    {"save as", 2, &Walk::saveAs},     {"open", 2, &Walk::open},               {"reopen", 2, &Walk::reopen},
    {"new", 1, &Walk::newDocument},    {"close", 1, &Walk::closeAndShow},      {"tab", 2, &Walk::switchTab},
    {"profile", 3, &Walk::pickProfileNode}, {"schematic", 3, &Walk::clickSchematic}, {"row", 3, &Walk::pickRow},
    {"export", 1, &Walk::exportFile},        {"construction", 6, &Walk::editConstruction}, {"material", 2, &Walk::editMaterial},
    {"insulate", 4, &Walk::insulatePipe},     {"settings", 2, &Walk::editSettings},       {"thickness", 2, &Walk::designThickness},
    {"case", 5, &Walk::editCase},          {"source", 4, &Walk::markSource},
};

const Walk::Invariant Walk::kInvariants[] = {
    {"fresh calculation", &Walk::showsAFreshCalculation},   {"computed rows unmarked", &Walk::noComputedRowIsFlagged},
    {"finite numbers", &Walk::showsOnlyFiniteNumbers},      {"header", &Walk::headerShowsTheDocument},
    {"file", &Walk::fileReadsBack},                         {"undo", &Walk::undoGivesBackEachState},
    {"unsaved mark", &Walk::unsavedMarkMeansChanges},       {"schematic marks", &Walk::schematicMarksTheCurrentRows},
    {"messages", &Walk::noUnexpectedMessage},
};

Fault Walk::run(int steps)
{
    int total = 0;
    for (const Step& step : kSteps) total += step.weight;
    for (int i = 0; i < steps; ++i) {
        const Step* step = kSteps;
        for (int at = pick(total); at >= step->weight; ++step) at -= step->weight;
        detail_.clear();
        questions_ = 0;
        allowed_.clear();
        (this->*step->take)();
        QApplication::setActiveWindow(window_);  // as a window manager hands it back after a dialog
        log_.push_back(std::to_string(i) + " " + step->name + " " + printable(utf8(detail_.left(160))));
        const auto fault = [&](const std::string& what) { return Fault{i, "step " + std::to_string(i) + " (" + step->name + "): " + what}; };
        if (!stepFault_.empty()) return fault(stepFault_);
        for (const Invariant& invariant : kInvariants)
            if (std::string what = (this->*invariant.check)(); !what.empty()) return fault(invariant.name + (": " + what));
        if ((i + 1) % kCheckpoint == 0 || i + 1 == steps)
            if (std::string what = undoAndRedoAll(); !what.empty()) return fault("undo all: " + what);
        const PipelineResult& result = model_->result();
        reached_.computed += result.allComputed && !result.segments.empty() ? 1 : 0;
        reached_.trees += result.network && result.topologyMessage.empty() && result.allComputed ? 1 : 0;
        reached_.insulated += std::ranges::any_of(result.segments, [](const SegmentRun& run) { return run.insulation.has_value(); }) ? 1 : 0;
        reached_.otherCase += model_->shownCase() > 0 ? 1 : 0;
        reached_.solved += result.solve && result.solve->converged ? 1 : 0;
    }
    return {};
}

/// Walks each seed of WALK_SEEDS for WALK_STEPS steps; a walk that fails is cut down to the fewest
/// steps of its seed that still fail, by halving, and printed with them.
TEST(PipelineWalk, EveryStepShowsAFreshCalculationAndUndoGivesBackEveryState)
{
    const QStringList seeds = qEnvironmentVariable("WALK_SEEDS", "1 2 3 4").split(' ', Qt::SkipEmptyParts);
    const int steps = qEnvironmentVariableIsSet("WALK_STEPS") ? qEnvironmentVariableIntValue("WALK_STEPS") : 125;
    Reached reached, replays;
    QElapsedTimer clock;
    clock.start();
    for (const QString& seed : seeds) {
        const Fault fault = Walk(seed.toUInt(), reached).run(steps);
        if (fault.step < 0) continue;
        ADD_FAILURE() << "seed " << seed.toStdString() << ", " << fault.what;
        int passes = 0, fails = fault.step + 1;
        while (fails - passes > 1) {
            const int middle = (passes + fails) / 2;
            (Walk(seed.toUInt(), replays).run(middle).step < 0 ? passes : fails) = middle;
        }
        Walk shortest(seed.toUInt(), replays);
        std::string lines = shortest.run(fails).what + '\n';
        for (const std::string& line : shortest.log()) lines += "  " + line + '\n';
        ADD_FAILURE() << "the shortest walk that fails: WALK_SEEDS=" << seed.toStdString() << " WALK_STEPS=" << fails << " scripts/walk\n" << lines;
    }
    std::printf("walk: %lld steps (%lld seeds) in %.1f s; computed after %d, networks after %d, insulated pipes after %d, "
                "another case than the design case shown after %d, a network solved for its flows after %d; "
                "%d sizings and %d thickness designs applied, %d saves, %d files opened, %d questions\n",
                static_cast<long long>(steps) * seeds.size(), static_cast<long long>(seeds.size()), clock.elapsed() / 1000.0,
                reached.computed, reached.trees, reached.insulated, reached.otherCase, reached.solved, reached.sized, reached.designed, reached.saved,
                reached.opened, reached.questions);
    // The suite's walk reaches what it is there for.
    EXPECT_TRUE(qEnvironmentVariableIsSet("WALK_STEPS") || (reached.computed > 0 && reached.trees > 0 && reached.sized > 0 && reached.saved > 0 &&
                                                           reached.opened > 0 && reached.insulated > 0 && reached.designed > 0));
}

// What the walk found, each a short test of its own.
using WalkFindings = PipelineWindow;

TEST_F(WalkFindings, ADocumentEditedBackToWhatWasSavedHasNoUnsavedChanges)
{
    ASSERT_TRUE(pipeline->saveFile(folder.filePath("main.dorvent")));
    model->setData(cell(0, Column::label), "A");
    model->setData(cell(0, Column::label), "");
    EXPECT_EQ(std::pair(pipeline->isWindowModified(), model->undoStack()->isClean()), std::pair(false, true));
    // A row added and deleted, then the deletion undone: unsaved again.
    button("cmdtianjia");
    button("cmdshanchu");
    EXPECT_FALSE(pipeline->isWindowModified());
    undo();
    EXPECT_TRUE(pipeline->isWindowModified());
    messages.answer = SaveChoice::discard;
    EXPECT_TRUE(pipeline->close());
    EXPECT_EQ(messages.texts.size(), 1);  // asked, and not before
}

TEST_F(WalkFindings, AnEditStillOpenWhenTheWindowClosesIsAskedAboutAndDeclined)
{
    table->setFocus();
    table->setCurrentIndex(cell(0, Column::label));
    QTest::keyClicks(table, "A");  // the cell's editor holds "A", not yet the document
    messages.answer = SaveChoice::discard;
    EXPECT_TRUE(pipeline->close());
    EXPECT_EQ(std::pair(messages.texts.size(), model->document().segments[0].label), std::pair(qsizetype(1), std::string()));
    EXPECT_FALSE(pipeline->isWindowModified());
}

TEST_F(WalkFindings, ANameTypedWhileABoxHoldsANumberOutOfRangeIsTaken)
{
    typeOver("txtwendu", "1e10", false);  // kept out of the document
    QTest::keyClicks(in<QLineEdit>("txtxiangmu"), "A");
    EXPECT_EQ(std::tuple(model->document().project, model->document().startTemperature, shows("txtwendu")),
              std::tuple(std::string("A"), std::optional(10.0), QString("10")));  // the box shows the document again
}

}  // namespace
}  // namespace dorvent
