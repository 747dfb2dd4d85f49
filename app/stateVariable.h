#pragma once

#include <QObject>
#include <QVariant>

namespace lentaro {

// The transport buttons of one of the main window's MCI controls, as far as the play state
// drives them. The main window gives its CDControl and WaveControl this face; a setter may
// throw when the control refuses the change.
class TransportButtons
{
public:
    virtual ~TransportButtons() = default;

    virtual void setPlayEnabled(bool enabled) = 0;
    virtual void setStopEnabled(bool enabled) = 0;
};

// Holds one value, the play state (ProgramState::gvPlayState): True while one of the MCI
// devices plays. Assigning a plain value makes the transport buttons of both MCI controls
// follow it: Play enabled only when nothing plays, Stop always enabled.
class stateVariable
{
public:
    // The held value; Empty (an invalid QVariant) before the first assignment.
    QVariant state() const;

    // Stores vData, then sets Play enabled to the negation of its truth on the CD control and
    // the wave control, then Stop enabled on both. A control that refuses, or one that is not
    // there, ends the assignment silently; the value stays stored.
    void setState(const QVariant& vData);
    // Stores an object reference; touches no control.
    void setState(QObject* vData);

    // The main window's CDControl and WaveControl; null while there is no main window.
    void setControls(TransportButtons* cdControl, TransportButtons* waveControl);

private:
    QVariant state_;
    TransportButtons* cdControl_ = nullptr;
    TransportButtons* waveControl_ = nullptr;
};

} // namespace lentaro
