#pragma once

#include <QFont>

class QWidget;

namespace dorvent {

/// The Song face the windows are laid out for, at the given size in points. Asks for "宋体"
/// (SimSun) first and falls back to the Song/Ming faces that Debian ships, so that Chinese
/// captions never come from an arbitrary fallback font.
QFont songFont(double pointSize);

/// The Song face where digits and blanks must keep one width, so that columns of text line up.
QFont songFixedFont(double pointSize);

/// Places a control by twips (1/1440 inch; 15 twips are one pixel at 96 dpi), relative to
/// the client area of its parent.
void placeTwips(QWidget* widget, int left, int top, int width, int height);

/// A size in twips as pixels.
int twips(int value);

}  // namespace dorvent
