#pragma once

#include "platform/mci/Commands.h"
#include "platform/mci/Device.h"
#include "platform/mci/MciTypes.h"
#include "platform/mci/TransportBar.h"

#include <QString>
#include <QWidget>

#include <array>
#include <initializer_list>
#include <memory>
#include <optional>

class QTimer;

namespace lentaro::mci {

class DoneQueue;

// The multimedia control: a bar of transport buttons over a media device (CD audio, wave audio,
// or none, when it serves only as a bar of buttons). Commands go through the Command property,
// with Wait, Notify, From and To applying to the next command only; the end of a notified
// command comes later as the Done event. The control never throws: a failed command or a read the
// device cannot answer sets Error and ErrorMessage, which every command clears first.
// DispatchIds.h ties the numbers callers' notes cite to these members.
class MMControl : public QWidget
{
    Q_OBJECT

public:
    explicit MMControl(QWidget* parent = nullptr);
    ~MMControl() override;

    // "CDAudio", "WaveAudio" (any letter case) or "" for none. A change closes the old device;
    // an unknown name sets Error and leaves the control without a device.
    QString deviceType() const { return deviceType_; }
    void setDeviceType(const QString& type);
    // Puts a device of the caller's making in place of the current one.
    void setDevice(std::unique_ptr<Device> device, const QString& type);

    QString fileName() const { return fileName_; }
    void setFileName(const QString& fileName) { fileName_ = fileName; }

    // The last command text given. Setting it runs the command.
    QString command() const { return command_; }
    void setCommand(const QString& command);

    // Apply to the next command only, then fall back to unset.
    bool wait() const { return wait_.value_or(false); }
    void setWait(bool wait) { wait_ = wait; }
    bool notify() const { return notify_.value_or(false); }
    void setNotify(bool notify) { notify_ = notify; }

    // The next Play, Record or Seek starts and ends here, each value read in the time format
    // that holds now; reading gives the last value set.
    int from() const { return from_.value; }
    void setFrom(int from);
    int to() const { return to_.value; }
    void setTo(int to);

    // 0 milliseconds, 2 MSF, 10 TMSF (CD audio only); a format the device does not take sets
    // Error and the format stays. Kept across Close and Open.
    int timeFormat() const { return static_cast<int>(timeFormat_); }
    void setTimeFormat(int format);

    int position();
    int length();
    int track() const { return track_; }
    void setTrack(int track);
    int tracks();
    int trackLength();
    int trackPosition();
    int mode() const;

    // StatusUpdate every this many milliseconds while a device is open; 0 for never.
    int updateInterval() const { return updateInterval_; }
    void setUpdateInterval(int milliseconds);

    int error() const { return error_.error; }
    QString errorMessage() const { return error_.message; }

    // True: the buttons follow the device's mode, and the button settings below are set aside.
    bool autoEnable() const { return autoEnable_; }
    void setAutoEnable(bool autoEnable);
    bool buttonEnabled(Button which) const { return buttonEnabled_[index(which)]; }
    void setButtonEnabled(Button which, bool enabled);
    bool buttonVisible(Button which) const { return buttonVisible_[index(which)]; }
    void setButtonVisible(Button which, bool visible);
    // A bar of these buttons alone, each usable whatever the device does, and as wide as they
    // are: for an owner that acts on the clicks itself, as over no device of its own.
    void useButtonsOnly(std::initializer_list<Button> buttons);

    // Sets the format the wave device records in: 0, or the error number when the device is not
    // open, refuses the format or is no wave device; the old format then stays.
    int setWaveFormat(int formatTag, int channels, int samplesPerSec, int avgBytesPerSec,
                      int blockAlign, int bitsPerSample);

    TransportBar* bar() const { return bar_; }

signals:
    void done(int notifyCode);
    void statusUpdate();
    void gotFocus();
    // A button was clicked; setting cancel keeps the button's own command from running.
    void prevClick(bool& cancel);
    void nextClick(bool& cancel);
    void playClick(bool& cancel);
    void pauseClick(bool& cancel);
    void backClick(bool& cancel);
    void stepClick(bool& cancel);
    void stopClick(bool& cancel);
    void recordClick(bool& cancel);
    void ejectClick(bool& cancel);

private:
    class Events;
    static std::size_t index(Button which) { return static_cast<std::size_t>(which); }

    void run(Verb verb, bool wait, bool notify);
    Outcome perform(Verb verb, bool wait, bool notify);
    Outcome startSound(Verb verb, bool wait, bool notify);
    Range takeRange();
    void supersede(NotifyCode code);
    void deviceEnded(NotifyCode code, const Outcome& why);
    void buttonClicked(Button which);
    void tick();
    void refresh();
    void armTimer();
    // Asks the device, setting Error when it cannot answer.
    template <typename Question>
    Reading ask(Question question);
    void fail(const Outcome& why);

    QString deviceType_;
    std::unique_ptr<Device> device_;
    std::unique_ptr<Events> events_;
    QString fileName_;
    QString command_;
    std::optional<bool> wait_;
    std::optional<bool> notify_;
    TimeValue from_;
    TimeValue to_;
    bool fromWaiting_ = false;
    bool toWaiting_ = false;
    TimeFormat timeFormat_ = TimeFormat::Milliseconds;
    int track_ = 0;
    int updateInterval_ = 0;
    Outcome error_;
    bool autoEnable_ = true;
    std::array<bool, buttonCount> buttonEnabled_{};
    std::array<bool, buttonCount> buttonVisible_{};

    bool notifyPending_ = false; // a notified Play or Record runs
    DoneQueue* doneQueue_;
    QTimer* statusTimer_;
    bool inStatusUpdate_ = false;
    TransportBar* bar_;
};

} // namespace lentaro::mci
