// Our pictures of the analyzer's panel, drawn at start-up: the keypad
// background (620 x 200), the face sheet (432 x 256: 9 x 4 keys up, then the
// same keys pressed) and the window icon.
#pragma once
#include <QIcon>
#include <QImage>

namespace frontpad {

QImage drawKeypadBackground();
QImage drawFaceSheet();
QIcon drawIcon();

}  // namespace frontpad
