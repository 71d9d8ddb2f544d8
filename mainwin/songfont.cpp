#include "mainwin/songfont.h"

#include <QStringList>
#include <QWidget>

namespace dorvent {
namespace {

QFont fontOf(const QStringList& families, double pointSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

QFont songFont(double pointSize)
{
    return fontOf({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                   QStringLiteral("Noto Serif CJK SC")},
                  pointSize);
}

QFont songFixedFont(double pointSize)
{
    // SimSun and AR PL UMing draw Latin letters, digits and blanks at one width; the Noto faces
    // of that kind are the monospaced ones.
    QFont font = fontOf({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                         QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("DejaVu Sans Mono")},
                        pointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

int twips(int value) { return qRound(value / 15.0); }

void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace dorvent
