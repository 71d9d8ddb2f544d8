#include "mainwin/songfont.h"

#include <QStringList>
#include <QWidget>

namespace dorvent {

QFont songFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL UMing TW"), QStringLiteral("Noto Serif CJK SC")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    constexpr double twipsPerPixel = 15.0;
    widget->setGeometry(qRound(left / twipsPerPixel), qRound(top / twipsPerPixel), qRound(width / twipsPerPixel),
                        qRound(height / twipsPerPixel));
}

}  // namespace dorvent
