#pragma once

namespace kv {

// Shows one of the runner's error boxes through the host program's
// lentaroHostMessageBox when the process has one, else writes it to stderr.
void showErrorBox(const char* text) noexcept;

}  // namespace kv
