#pragma once

class QKeyEvent;

namespace lentaro {

// A key as the windows' key handlers know it: the codes of frmMain::Form_KeyDown (32 Space,
// 117..119 F6..F8, 107 and 109 the keypad's plus and minus, other keys their Qt key code) and
// the shift mask 1 Shift, 2 Ctrl, 4 Alt.
int keyCodeOf(const QKeyEvent& event);
int shiftOf(const QKeyEvent& event);

} // namespace lentaro
