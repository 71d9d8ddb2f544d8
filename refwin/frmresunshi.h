#pragma once

#include <QPointer>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace dorvent {

/// The unit heat-loss table: the user picks laying method and temperature band, lists the
/// values, clicks one and hands it back to the main window's unit-heat-loss box on exit.
/// Opened without blocking the main window, which keeps one of it.
class frmresunshi : public QWidget {
    Q_OBJECT

public:
    /// combo6: the main window's unit-heat-loss box, which receives the chosen value.
    explicit frmresunshi(QComboBox* combo6, QWidget* parent = nullptr);

    /// Starts afresh, as at every opening: no option chosen, no row clicked, an empty list.
    void Form_Load();

    float resunshiquzhi = 0.0f;  ///< value of the last clicked row

private:
    void createWidgets();
    void createConnections();
    void cmdchaxun_Click();
    void lstresunshi_Click(int row);
    void cmdtuichu_Click();

    QPointer<QComboBox> combo6_;
    int fushefangshi = 0;  ///< laying method 1..3, 0 until chosen
    int zhengqiwendu = 0;  ///< table column 2..4 of the temperature band, 0 until chosen

    QGroupBox* Frame1 = nullptr;
    QRadioButton* optjiakong = nullptr;
    QRadioButton* optbutongxing = nullptr;
    QRadioButton* opttongxing = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* opt200 = nullptr;
    QRadioButton* opt200300 = nullptr;
    QRadioButton* opt300350 = nullptr;
    QPushButton* cmdchaxun = nullptr;
    QPushButton* cmdtuichu = nullptr;
    QListWidget* lstresunshi = nullptr;
    QLabel* Label1 = nullptr;
};

}  // namespace dorvent
