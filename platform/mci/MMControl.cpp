#include "platform/mci/MMControl.h"

#include "platform/mci/DeviceTypes.h"
#include "platform/mci/DispatchIds.h"
#include "platform/mci/DoneQueue.h"
#include "platform/mci/MciErrors.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <exception>
#include <new>

namespace lentaro::mci {

namespace {

using Click = void (MMControl::*)(bool&);

// Each button's event and the command it sends when the event does not cancel it.
struct ButtonAction {
    Click click;
    Verb verb;
};

constexpr std::array<ButtonAction, buttonCount> buttonActions{{
    {&MMControl::prevClick, Verb::Prev},
    {&MMControl::nextClick, Verb::Next},
    {&MMControl::playClick, Verb::Play},
    {&MMControl::pauseClick, Verb::Pause},
    {&MMControl::backClick, Verb::Back},
    {&MMControl::stepClick, Verb::Step},
    {&MMControl::stopClick, Verb::Stop},
    {&MMControl::recordClick, Verb::Record},
    {&MMControl::ejectClick, Verb::Eject},
}};

// The buttons that make sense in a mode, when the buttons follow the device.
bool usableIn(Button which, const Device& device)
{
    if (!device.isOpen())
        return false;
    if (which == Button::Eject)
        return device.canEject();
    switch (device.mode()) {
    case Mode::NotOpen:
        return false;
    case Mode::Stopped:
        return which != Button::Pause && which != Button::Stop
               && (which != Button::Record || device.canRecord());
    case Mode::Playing:
        return which != Button::Play && which != Button::Record;
    case Mode::Recording:
        return which == Button::Stop;
    case Mode::Paused:
        return which != Button::Record;
    }
    return false;
}

bool validTimeFormat(int format)
{
    return format == static_cast<int>(TimeFormat::Milliseconds)
           || format == static_cast<int>(TimeFormat::Msf)
           || format == static_cast<int>(TimeFormat::Tmsf);
}

// What the device threw (no memory, no thread to be had), as an error: the control never throws.
Outcome caughtFailure()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return Outcome::failure(errors::outOfMemory,
                                QStringLiteral("There is not enough memory for the device."));
    } catch (const std::exception& error) {
        return Outcome::failure(errors::internal, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return Outcome::failure(errors::internal, QStringLiteral("The device failed."));
    }
}

bool runs(Mode mode)
{
    return mode == Mode::Playing || mode == Mode::Recording || mode == Mode::Paused;
}

} // namespace

class MMControl::Events final : public DeviceEvents
{
public:
    explicit Events(MMControl& control) : control_(control) {}

    void ended(NotifyCode code, const Outcome& why) override { control_.deviceEnded(code, why); }

private:
    MMControl& control_;
};

MMControl::MMControl(QWidget* parent)
    : QWidget(parent),
      events_(std::make_unique<Events>(*this)),
      doneQueue_(
          new DoneQueue([this](NotifyCode code) { emit done(static_cast<int>(code)); }, this)),
      statusTimer_(new QTimer(this)),
      bar_(new TransportBar(this))
{
    buttonEnabled_.fill(true);
    buttonVisible_.fill(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    setFocusPolicy(Qt::TabFocus);
    setFocusProxy(bar_->button(Button::Play));

    statusTimer_->setObjectName(QStringLiteral("statusTimer"));
    connect(statusTimer_, &QTimer::timeout, this, &MMControl::tick);
    connect(bar_, &TransportBar::clicked, this, &MMControl::buttonClicked);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inside = [this](QWidget* widget) {
            return widget && (widget == this || isAncestorOf(widget));
        };
        if (inside(now) && !inside(old))
            emit gotFocus();
    });
    refresh();
}

MMControl::~MMControl()
{
    // The device stops its threads before the events it reports to go away.
    device_.reset();
}

void MMControl::setDeviceType(const QString& type)
{
    error_ = {};
    if (type.isEmpty()) {
        setDevice(nullptr, type);
        return;
    }
    std::unique_ptr<Device> device;
    try {
        device = makeDevice(type);
    } catch (...) {
        setDevice(nullptr, QString());
        fail(caughtFailure());
        return;
    }
    if (!device) {
        setDevice(nullptr, QString());
        fail(Outcome::failure(errors::invalidDeviceName,
                              QStringLiteral("There is no device of the type \"%1\".").arg(type)));
        return;
    }
    setDevice(std::move(device), type);
}

void MMControl::setDevice(std::unique_ptr<Device> device, const QString& type)
{
    if (device_)
        device_->close();
    supersede(NotifyCode::Aborted);
    device_ = std::move(device);
    if (device_)
        device_->setEvents(events_.get());
    deviceType_ = type;
    fromWaiting_ = toWaiting_ = false;
    refresh();
}

void MMControl::setCommand(const QString& command)
{
    command_ = command;
    const bool wait = wait_.value_or(false);
    const std::optional<bool> notify = notify_;
    wait_.reset();
    notify_.reset();
    error_ = {};
    const std::optional<Verb> verb = verbNamed(command);
    if (!verb) {
        fail(Outcome::failure(errors::unrecognizedCommand,
                              QStringLiteral("\"%1\" is not a command.").arg(command)));
        return;
    }
    run(*verb, wait, notify.value_or(notifiesByDefault(*verb)));
}

void MMControl::run(Verb verb, bool wait, bool notify)
{
    const bool startsSound = verb == Verb::Play || verb == Verb::Record;
    Outcome outcome;
    try {
        outcome = perform(verb, wait, notify);
    } catch (...) {
        outcome = caughtFailure();
    }
    if (!outcome.ok()) {
        fail(outcome);
    } else if (!startsSound) {
        // A command that ended the play or record under way aborted its notification.
        if (notifyPending_ && !runs(device_->mode()))
            supersede(NotifyCode::Aborted);
        if (notify)
            doneQueue_->push(NotifyCode::Successful);
    }
    refresh();
}

Outcome MMControl::perform(Verb verb, bool wait, bool notify)
{
    if (!device_) {
        takeRange();
        return noDevice();
    }
    switch (verb) {
    case Verb::Open:
    case Verb::Close: {
        fromWaiting_ = toWaiting_ = false;
        const Outcome outcome = verb == Verb::Open ? device_->open(fileName_) : device_->close();
        // The device is open at once, whatever Wait says; a name without a file opens an empty
        // element and still reports the missing file.
        if (verb == Verb::Open && !outcome.ok() && device_->isOpen()) {
            fail(outcome);
            return {};
        }
        return outcome;
    }
    case Verb::Play:
    case Verb::Record:
        return startSound(verb, wait, notify);
    case Verb::Pause:
        return device_->pause();
    case Verb::Stop:
        return device_->stop();
    case Verb::Cue:
        return device_->cue();
    case Verb::Seek: {
        const Range range = takeRange();
        return device_->seek(range.to ? range.to : range.from);
    }
    case Verb::Save:
        return device_->save(fileName_);
    case Verb::Eject:
        return device_->eject();
    case Verb::Back:
        return device_->move(Move::Back);
    case Verb::Step:
        return device_->move(Move::Step);
    case Verb::Prev:
        return device_->move(Move::Prev);
    case Verb::Next:
        return device_->move(Move::Next);
    }
    return {};
}

Outcome MMControl::startSound(Verb verb, bool wait, bool notify)
{
    const Range range = takeRange();
    const Outcome outcome = verb == Verb::Play ? device_->play(range) : device_->record(range);
    if (!outcome.ok())
        return outcome;
    supersede(NotifyCode::Superseded);
    notifyPending_ = notify;
    if (wait)
        device_->waitUntilEnded();
    return {};
}

Range MMControl::takeRange()
{
    Range range;
    if (fromWaiting_)
        range.from = from_;
    if (toWaiting_)
        range.to = to_;
    fromWaiting_ = toWaiting_ = false;
    return range;
}

void MMControl::supersede(NotifyCode code)
{
    if (!notifyPending_)
        return;
    notifyPending_ = false;
    doneQueue_->push(code);
}

void MMControl::deviceEnded(NotifyCode code, const Outcome& why)
{
    if (!why.ok())
        fail(why);
    supersede(code);
    refresh();
}

void MMControl::setFrom(int from)
{
    from_ = {from, timeFormat_};
    fromWaiting_ = true;
}

void MMControl::setTo(int to)
{
    to_ = {to, timeFormat_};
    toWaiting_ = true;
}

void MMControl::setTimeFormat(int format)
{
    if (!validTimeFormat(format)) {
        fail(Outcome::failure(errors::badTimeFormat,
                              QStringLiteral("%1 is not a time format.").arg(format)));
        return;
    }
    const auto wanted = static_cast<TimeFormat>(format);
    const bool taken = device_ ? device_->supports(wanted) : wanted == TimeFormat::Milliseconds;
    if (!taken) {
        fail(Outcome::failure(
            errors::badTimeFormat,
            QStringLiteral("The device does not count time in format %1.").arg(format)));
        return;
    }
    timeFormat_ = wanted;
}

int MMControl::position()
{
    return ask([&](const Device& device) { return device.position(timeFormat_); }).value;
}

int MMControl::length()
{
    return ask([&](const Device& device) { return device.length(timeFormat_); }).value;
}

void MMControl::setTrack(int track)
{
    track_ = track;
    const Reading count = ask([](const Device& device) { return device.tracks(); });
    if (count.outcome.ok() && (track < 1 || track > count.value))
        fail(outOfRange(QStringLiteral("There is no track %1.").arg(track)));
}

int MMControl::tracks()
{
    return ask([](const Device& device) { return device.tracks(); }).value;
}

int MMControl::trackLength()
{
    return ask([&](const Device& device) { return device.trackLength(track_, timeFormat_); }).value;
}

int MMControl::trackPosition()
{
    return ask([&](const Device& device) { return device.trackPosition(track_, timeFormat_); })
        .value;
}

int MMControl::mode() const
{
    return static_cast<int>(device_ ? device_->mode() : Mode::NotOpen);
}

void MMControl::setUpdateInterval(int milliseconds)
{
    updateInterval_ = std::max(0, milliseconds);
    armTimer();
}

void MMControl::setAutoEnable(bool autoEnable)
{
    autoEnable_ = autoEnable;
    refresh();
}

void MMControl::setButtonEnabled(Button which, bool enabled)
{
    buttonEnabled_[index(which)] = enabled;
    refresh();
}

void MMControl::setButtonVisible(Button which, bool visible)
{
    buttonVisible_[index(which)] = visible;
    bar_->setButtonVisible(which, visible);
}

void MMControl::useButtonsOnly(std::initializer_list<Button> buttons)
{
    autoEnable_ = false;
    // As wide as those buttons side by side, also where a layout places it (before it is first
    // shown a layout counts no button).
    QSize size(0, 0);
    for (Button which : allButtons) {
        const bool used = std::find(buttons.begin(), buttons.end(), which) != buttons.end();
        buttonEnabled_[index(which)] = used;
        setButtonVisible(which, used);
        if (used) {
            const QSize button = bar_->button(which)->sizeHint();
            size = QSize(size.width() + button.width(), std::max(size.height(), button.height()));
        }
    }
    refresh();
    setFixedSize(size);
}

int MMControl::setWaveFormat(int formatTag, int channels, int samplesPerSec, int avgBytesPerSec,
                             int blockAlign, int bitsPerSample)
{
    error_ = {};
    const Outcome outcome =
        device_ ? device_->setWaveFormat(
            {formatTag, channels, samplesPerSec, avgBytesPerSec, blockAlign, bitsPerSample})
                : noDevice();
    if (!outcome.ok())
        fail(outcome);
    return outcome.error;
}

void MMControl::buttonClicked(Button which)
{
    const ButtonAction& action = buttonActions[index(which)];
    bool cancel = false;
    emit(this->*action.click)(cancel);
    if (cancel)
        return;
    // Pause on a paused device goes on playing.
    const Verb verb = which == Button::Pause && device_ && device_->mode() == Mode::Paused
                          ? Verb::Play
                          : action.verb;
    const bool wait = wait_.value_or(false);
    const std::optional<bool> notify = notify_;
    wait_.reset();
    notify_.reset();
    error_ = {};
    run(verb, wait, notify.value_or(notifiesByDefault(verb)));
}

void MMControl::tick()
{
    // A handler that is still busy (in a dialog, say) misses the ticks meanwhile.
    if (inStatusUpdate_)
        return;
    inStatusUpdate_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{inStatusUpdate_};
    refresh();
    emit statusUpdate();
}

void MMControl::refresh()
{
    for (Button which : allButtons) {
        const bool enabled =
            autoEnable_ ? device_ && usableIn(which, *device_) : buttonEnabled_[index(which)];
        bar_->setButtonEnabled(which, enabled);
    }
    armTimer();
}

void MMControl::armTimer()
{
    const bool wanted = updateInterval_ > 0 && device_ && device_->isOpen();
    if (!wanted) {
        statusTimer_->stop();
        return;
    }
    if (!statusTimer_->isActive() || statusTimer_->interval() != updateInterval_)
        statusTimer_->start(updateInterval_);
}

template <typename Question>
Reading MMControl::ask(Question question)
{
    Reading reading = Reading::failure(noDevice());
    if (device_) {
        try {
            reading = question(*device_);
        } catch (...) {
            reading = Reading::failure(caughtFailure());
        }
    }
    if (!reading.outcome.ok())
        fail(reading.outcome);
    return reading;
}

void MMControl::fail(const Outcome& why)
{
    error_ = why;
}

} // namespace lentaro::mci
