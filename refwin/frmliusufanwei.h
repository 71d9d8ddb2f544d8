#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace dorvent {

/// The permitted velocities of superheated steam by nominal diameter; opened modally.
class frmliusufanwei : public QDialog {
    Q_OBJECT

public:
    explicit frmliusufanwei(QWidget* parent = nullptr);

    /// The three lines the window shows, joined by "\r\n".
    static QString ranges();

protected:
    void changeEvent(QEvent* event) override;

private:
    void Form_Activate();

    QPlainTextEdit* RichTextBox1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace dorvent
