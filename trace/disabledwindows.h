#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace lentaro {

// Disables every visible top-level window for its lifetime, then enables again exactly those
// that were not disabled already (a main window kept disabled behind a progress window stays so).
class DisabledWindows
{
public:
    DisabledWindows();
    ~DisabledWindows();

    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

private:
    std::vector<QPointer<QWidget>> toEnable_;
};

} // namespace lentaro
