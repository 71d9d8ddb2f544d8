#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace dorvent {

// The controls of the fixed-layout windows, each named, placed in twips relative to its parent
// and given its Song font (12 pt unless said otherwise).
inline constexpr double kMainFontSize = 12.0;
inline constexpr double kFrameFontSize = 9.0;
inline constexpr double kResultFontSize = 10.5;

struct Twips {
    int left, top, width, height;
};

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, Twips at);
/// Labels size themselves to their caption.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                  double pointSize = kMainFontSize);
QLineEdit* makeTextBox(QWidget* parent, const char* name, Twips at, bool readOnly = false);
QPlainTextEdit* makeResultBox(QWidget* parent, const char* name, Twips at);
/// A drop-down list; an editable one keeps typed text as typed: no completion, no new entries.
QComboBox* makeList(QWidget* parent, const char* name, Twips at, bool editable = false);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, Twips at);

/// Fills a list without selecting anything and without running its handlers.
void fillList(QComboBox* list, const QStringList& entries);

}  // namespace dorvent
