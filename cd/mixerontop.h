#pragma once

#include <QPointer>
#include <QString>

#include <cstdint>

class QProcess;

namespace lentaro {

// The recording mixer: the desktop's mixer program ($LENTARO_MIXER, else "pavucontrol --tab=2",
// its recording tab), started by the program and found among windows by a part of their title.
// Another program's windows cannot be found, raised or steered here, so the window searches
// cover the program's own top-level windows only.
struct MixerOnTop {
    // The mixer program this program started; null until the first start.
    QPointer<QProcess> mixerTask;
    // The mixer's window, found by a title containing "CONTROL"; 0 when not found.
    std::int32_t mixerHwnd = 0;
    // The mixer's window while it shows its recording controls; 0 when not found.
    std::int32_t recordingMixerHwnd = 0;
};

// The one program-wide mixer state.
MixerOnTop& mixerOnTop();

// The title of the program's window that has the focus; "" when none has.
QString foregroundWindowText();
// The title of the window of that handle; "" when it names none.
QString windowText(std::int32_t hw);
// The handle of a top-level window of the program whose title contains titleSubstr in any
// letter case, the last in handle order when several do; 0 when none does.
std::int32_t getHwndContaining(const QString& titleSubstr);

// Starts the mixer program, or keeps the one started earlier while it runs, and returns
// mixerHwnd. A program that cannot be started is reported; 0 is returned then.
std::int32_t showMixer();
// Nothing can bring another program's window to the front here; returns at once.
void bringMixerToFront();
// True while the mixer program this program started runs.
bool mixerRunning();
// Ends the mixer program this program started, if it still runs.
void endMixer();

} // namespace lentaro
