#pragma once

#include <QMainWindow>
#include <QPointer>

#include "mainwin/steamstate.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace dorvent {

class frmresunshi;
class frmguanxian;

/// The main window: steam parameters, pipe choice, segment inputs and their results.
class frmdorvent : public QMainWindow {
    Q_OBJECT

public:
    explicit frmdorvent(QWidget* parent = nullptr);
    ~frmdorvent() override;

    const SteamState& steamState() const { return state_; }
    /// The pipeline window of the 管线计算 menu, made when first wanted.
    frmguanxian* pipelineWindow();
    /// A further pipeline window, for a second document: closed, it is gone.
    frmguanxian* anotherPipelineWindow();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSteamFrame(QWidget* client);
    void createPipeFrame(QWidget* client);
    void createSegmentFrame(QWidget* client);
    void createResultFrames(QWidget* client);
    void createButtons(QWidget* client);
    void createMenus();
    void setTabOrder();
    void createConnections();

    void Form_Load();
    void Form_Activate();
    void Text1_Change();
    void Text2_Change();
    void Combo1_Click();
    void Combo2_Click();
    void duqucanshu();
    void Command1_Click();
    void Command2_Click();
    void Command4_Click();
    void m11_Click();
    void m21_Click();
    void m22_Click();
    void m31_Click();
    frmguanxian* makePipelineWindow(QWidget* parent);

    // Pipe sizing
    void Command3_Click();
    void Combo3_Click();
    void Combo4_Click();
    void Combo5_Click();
    void Combo5_Change();
    void Combo5_Activated();
    void selectWallRow(int row);
    void showChosenPipe();

    // Segment calculation
    void Command5_Click();

    SteamState state_;
    QPointer<frmresunshi> resunshi_;
    QPointer<frmguanxian> guanxian_;
    bool wallTyped_ = false;    ///< Combo5 shows typed text, not its selected row
    bool syncingPipes_ = false; ///< the pipe lists are being moved to one row
    bool returningFromReference_ = true;  ///< the next activation comes from start-up or a reference window

    // Steam parameters
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QComboBox* Combo2 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Text4 = nullptr;

    // Pipe of one's own choice
    QGroupBox* Frame2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Combo3 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* Combo4 = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* Combo5 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* Text6 = nullptr;

    // Segment parameters
    QGroupBox* Frame3 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLabel* Label12 = nullptr;
    QComboBox* Combo6 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLineEdit* Text10 = nullptr;
    QLineEdit* Text11 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QLineEdit* Text12 = nullptr;

    // Pipe sizes within the velocity limit, and the segment results
    QGroupBox* Frame4 = nullptr;
    QListWidget* List1 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QPlainTextEdit* Text22 = nullptr;

    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command4 = nullptr;

    QMenu* m1 = nullptr;
    QAction* m11 = nullptr;
    QMenu* m3 = nullptr;
    QAction* m31 = nullptr;
    QMenu* m2 = nullptr;
    QAction* m21 = nullptr;
    QAction* m22 = nullptr;
};

}  // namespace dorvent
