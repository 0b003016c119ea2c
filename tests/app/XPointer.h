#pragma once

#include <QPoint>

// Moves the X server's pointer to a point of the screen and clicks the left
// button there through the XTEST extension, as a user's mouse would: the X
// server hands the press to the window under the pointer that asks for it,
// whichever program made that window. False, with a test failure added,
// where the session is not X or the server cannot fake input.
bool ClickThroughX(QPoint global);
