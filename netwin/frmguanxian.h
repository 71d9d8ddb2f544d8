#pragma once

#include <QMainWindow>

#include <functional>

#include "mainwin/steamstate.h"
#include "netwin/recoverycopy.h"
#include "pipeline/pipelinedocument.h"
#include "pipeline/pipesizing.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;

namespace dorvent {

class PipelineModel;
class PipelineTableView;
class NodeModel;
class ConstructionModel;
class OwnMaterialModel;
class CaseModel;
class ComparisonModel;
class SchematicView;
class ProfileView;

/// A pipeline file's document; nothing, and why in error, when it cannot be read.
std::optional<PipelineDocument> readDocumentFile(const QString& path, std::string& error);

/// The pipeline window: a steam main of segments in series from one start state, calculated
/// on every edit, kept in a .dorvent file.
class frmguanxian : public QMainWindow {
    Q_OBJECT

public:
    /// mainState: the main window's evaluated state, from which the start state can be taken.
    explicit frmguanxian(const SteamState* mainState, QWidget* parent = nullptr);
    ~frmguanxian() override;

    PipelineModel* model() const { return model_; }

    /// Opens a file; a file that cannot be read is refused with one message and the document
    /// shown stays as it is.
    bool openFile(const QString& path);
    /// Saves atomically; false, after a message, when the file cannot be written.
    bool saveFile(const QString& path);
    /// A new, empty pipeline starting from the main window's state.
    void newDocument();
    /// Shows the window for the main window's menu: an untitled pipeline that nobody has
    /// touched yet starts anew from the main window's current state.
    void showFromMainWindow();
    /// The start state of the main window's evaluation, as pressure in MPa and temperature in ℃.
    void takeMainState();
    /// Asks about unsaved changes and saves them if wanted; false when the user cancels.
    bool maybeSave();
    /// Takes up a document left by a program that crashed: it belongs to its file again, if it
    /// had one, and stays unsaved until it is saved.
    void recover(const LeftCopy& copy);
    /// The copy of the unsaved document kept against a crash.
    const RecoveryCopy& recoveryCopy() const { return recovery_; }

    /// The exports; each says why in a message when the file cannot be written.
    bool exportCsv(const QString& path);     ///< the table, UTF-8 with a byte-order mark
    bool exportNodesCsv(const QString& path);  ///< the node table, the same way
    bool exportChart(const QString& path);   ///< PNG, or a vector PDF for a path ending in .pdf
    bool exportReport(const QString& path);  ///< the calculation report as PDF
    bool exportNetwork(const QString& path);  ///< the schematic as PNG, or SVG for a path ending in .svg

    /// 自动选管: sizes the network's pipes, shows the proposal and applies it as one step.
    void sizePipes();
    /// 保温厚度计算: the thickness design of the selected insulated pipes, applied as one step.
    void designThicknesses();

    /// How long a sizing runs before it shows its progress [ms].
    static constexpr int kQuietSizingMs = 500;

signals:
    /// The main window is asked for: shown, even after it was closed.
    void mainWindowWanted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createWidgets();
    void createConnections();

    void open();
    bool save();
    bool saveAs();
    void addSegment();
    void insertSegment();
    void deleteSegments();
    void moveSegment(int step);
    void editRow(int row);
    void headerEdited();
    void showDocument();
    void showFailure();
    /// Why the lowest dryness typed into its box is not taken; empty when it is, or the box is empty.
    QString drynessRefusal() const;
    QWidget* createNetworkWidgets(QWidget* client);
    void createNetworkConnections();
    void showNetwork();
    void showChart();
    /// The node the engineer picked for the profile, by its index among the nodes; none for the critical consumer.
    std::optional<std::size_t> profileNodeIndex() const;
    void showSelection();
    QWidget* createInsulationWidgets(QWidget* parent);
    void createInsulationConnections();
    /// After every calculation: the settings' boxes, and the pipe table's insulation columns where a pipe is insulated.
    void showInsulation();
    void settingsEdited();
    QList<QLineEdit*> settingBoxes() const;  ///< the settings' number boxes, in a fixed order
    void addConstruction();
    void deleteConstructions();
    void addMaterial();
    void deleteMaterials();
    QWidget* createCaseWidgets(QWidget* parent);
    QWidget* createComparisonWidgets(QWidget* parent);
    void createCaseConnections();
    /// After every calculation: the list of cases to show, and the comparison where it is seen.
    void showCases();
    void showComparison();
    void enableCaseButtons();
    std::optional<std::size_t> selectedCase() const;
    void addCase(bool copy);
    void deleteCases();
    void moveCase(int step);
    void printPreview();
    /// Asks where to export, proposing the document's name with an ending of the export's own
    /// ("-管网图.png"), so that no export proposes another's file.
    QString exportPath(const QString& caption, const QString& filter, const QString& ending);
    bool exportTo(const QString& path, const std::function<bool(const QString&)>& write);
    void updateTitle();
    void fillRecentFiles();
    void openRecent(const QString& path);
    void documentTaken(const QString& path);
    QString startFolder() const;
    void restoreLayout();
    void keepLayout() const;
    void autosave();
    void cleanChanged(bool clean);
    QList<int> selectedRows() const;
    PipelineDocument withMainState(PipelineDocument document) const;
    /// The sizing of the document, with its progress shown and a way to cancel once it takes long;
    /// none when it was cancelled.
    std::optional<SizingResult> runSizing(const PipelineDocument& document, bool telescoping);

    const SteamState* mainState_;
    PipelineModel* model_ = nullptr;
    QString filePath_;
    PipelineDocument saved_;  // as the file holds it, or as a new document began
    RecoveryCopy recovery_;
    std::optional<PipelineDocument> autosaved_;  // what the recovery copy holds
    QTimer* autosaveTimer_ = nullptr;

    QLineEdit* txtxiangmu = nullptr;   // project
    QLineEdit* txtshejiren = nullptr;  // designer
    QLineEdit* txtyali = nullptr;      // start pressure
    QComboBox* cboyali = nullptr;      // its unit
    QLineEdit* txtwendu = nullptr;     // start temperature
    QComboBox* cbowendu = nullptr;     // its unit
    QLineEdit* txtyuliang = nullptr;   // superheat margin
    QComboBox* cbowenjiang = nullptr;  // the temperature law (温降计算)
    QLineEdit* txtgandu = nullptr;     // the lowest dryness the energy balance computes to
    QPushButton* cmdqu = nullptr;      // take the main window's state
    QLabel* lblqidian = nullptr;       // the start state as evaluated
    QLabel* lblxiaoxi = nullptr;       // the segment that stopped the calculation
    QPushButton* cmdtianjia = nullptr;
    QPushButton* cmdcharu = nullptr;
    QPushButton* cmdshanchu = nullptr;
    QPushButton* cmdshangyi = nullptr;
    QPushButton* cmdxiayi = nullptr;
    PipelineTableView* tblguanduan = nullptr;
    ProfileView* chtpoumian = nullptr;  // the profile along the main, or a path of the network
    PipelineTableView* tbljiedian = nullptr;  // the nodes of the network
    QLabel* lblzongji = nullptr;        // the network's totals and its critical consumer
    QTabWidget* tabtu = nullptr;        // the schematic and the profile
    SchematicView* tuguanwang = nullptr;  // the schematic (管网图)
    QComboBox* cbolujing = nullptr;     // the node the profile leads to
    NodeModel* nodes_ = nullptr;
    QString profileNode_;               // the node the user picked for the profile; none: the critical consumer
    bool fitSchematic_ = true;          // the next schematic drawn shows whole

    QAction* mxinjian = nullptr;
    QAction* mdakai = nullptr;
    QAction* mbaocun = nullptr;
    QAction* mlingcun = nullptr;
    QMenu* mzuijin = nullptr;           // the files opened last
    QAction* mguanbi = nullptr;
    QAction* mdaochucsv = nullptr;
    QAction* mdaochujiedian = nullptr;  // export the node table
    QAction* mdaochutu = nullptr;
    QAction* mjisuanshu = nullptr;
    QAction* mdayin = nullptr;
    QAction* mchexiao = nullptr;
    QAction* mchongzuo = nullptr;
    QAction* mjianqie = nullptr;
    QAction* mfuzhi = nullptr;
    QAction* mzhantie = nullptr;
    QAction* mqingchu = nullptr;
    QAction* mcharu = nullptr;
    QAction* mtianjia = nullptr;
    QAction* mshanchu = nullptr;
    QAction* mshangyi = nullptr;
    QAction* mxiayi = nullptr;
    QAction* mzhuchuangkou = nullptr;
    QAction* mshiying = nullptr;        // fit the schematic to its view
    QAction* mdaochuguanwang = nullptr;  // export the schematic
    QAction* mzidongxuanguan = nullptr;  // automatic sizing
    QAction* mbaowenhoudu = nullptr;    // the thickness design of insulated pipes

    // The insulation page (保温做法): constructions, own materials, limits and prices.
    ConstructionModel* constructions_ = nullptr;
    OwnMaterialModel* materials_ = nullptr;
    PipelineTableView* tblbaowen = nullptr;   // the constructions
    PipelineTableView* tblcailiao = nullptr;  // the own materials
    QPushButton* cmdtianjiazuofa = nullptr;
    QPushButton* cmdshanchuzuofa = nullptr;
    QPushButton* cmdtianjiacailiao = nullptr;
    QPushButton* cmdshanchucailiao = nullptr;
    QLabel* lblbaowen = nullptr;              // why the last text typed into the page was refused
    QLineEdit* txtbiaomianwendu = nullptr;    // surface temperature limit; empty: the code's rule
    QComboBox* cboyunxing = nullptr;          // year-round or seasonal operation
    QLineEdit* txtrejia = nullptr;            // heat price
    QLineEdit* txtxiaoshi = nullptr;          // hours of operation a year
    QLineEdit* txtcailiaojia = nullptr;       // insulation price
    QLineEdit* txtwaihujia = nullptr;         // jacket price
    QLineEdit* txtnianxian = nullptr;         // years
    QLineEdit* txtlilv = nullptr;             // interest rate [%]

    // The load cases (工况): the case the tables show, the page of cases, and their comparison.
    QComboBox* cbogongkuang = nullptr;
    CaseModel* cases_ = nullptr;
    PipelineTableView* tblgongkuang = nullptr;
    QPushButton* cmdtianjiagongkuang = nullptr;
    QPushButton* cmdfuzhigongkuang = nullptr;
    QPushButton* cmdshanchugongkuang = nullptr;
    QPushButton* cmdshangyigongkuang = nullptr;
    QPushButton* cmdxiayigongkuang = nullptr;
    QLabel* lblgongkuang = nullptr;           // why the last text typed into the page was refused
    QWidget* comparisonPage_ = nullptr;
    ComparisonModel* consumerComparison_ = nullptr;
    ComparisonModel* pipeComparison_ = nullptr;
    QLabel* lblduibi = nullptr;               // the critical consumer of each case and of all
    QTableView* tblduibiyonghu = nullptr;     // the consumers in every case
    QTableView* tblduibiguanduan = nullptr;   // the pipes in every case
};

}  // namespace dorvent
