#pragma once

#include <QMainWindow>

#include "mainwin/steamstate.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace dorvent {

/// The main window: steam parameters in, state report out.
class frmdorvent : public QMainWindow {
    Q_OBJECT

public:
    explicit frmdorvent(QWidget* parent = nullptr);

    const SteamState& steamState() const { return state_; }

private:
    void createWidgets();
    void createConnections();
    void Form_Load();

    void Text1_Change();
    void Text2_Change();
    void Combo1_Click();
    void Combo2_Click();
    void duqucanshu();

    SteamState state_;

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
};

}  // namespace dorvent
