#pragma once

class QKeyEvent;

namespace lentaro {

// The key codes the windows' key handlers (frmMain::Form_KeyDown, the trim window's, the
// waveform view's) know; other keys carry their Qt key code.
constexpr int keySpace = 32;
constexpr int keyF6 = 117;
constexpr int keyF7 = 118;
constexpr int keyF8 = 119;
constexpr int keypadMinus = 109;
constexpr int keypadPlus = 107;

// A key as the handlers know it, and its shift mask: 1 Shift, 2 Ctrl, 4 Alt.
int keyCodeOf(const QKeyEvent& event);
int shiftOf(const QKeyEvent& event);

} // namespace lentaro
