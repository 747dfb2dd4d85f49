#pragma once

#include "platform/cd/DriveList.h"
#include "platform/cd/ReaderError.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace lentaro {
class UiHandOver;
}

namespace lentaro::cd {

struct RangeChoice;

// Reads CD audio digitally into wave files (RIFF, 16-bit stereo, 44.1 kHz): the program's CD
// extraction control. Drives are numbered 1..n in the order of the drive list (their letters'
// order). Calls come from the user-interface thread. Callers know the operations by number:
//
//    2 initialise             11 trackCount          14 abort
//   26 driveLayerInstalled    24 trackLengthMs       12 openTray
//    8 driveCount             25 trackStartMs        13 closeTray
//   15 beforeProbe             6 readTrack
//    4 openDrive              23 readSection
//   18 isAudioTrack
//
// A read runs on a thread of its own once accepted. Each accepted read ends in exactly one
// ReadComplete or Failure, delivered from the event loop after the call that started it has
// returned; a refused read returns its error number and raises nothing. While one read runs,
// another is refused and the first goes on. An aborted or failed read leaves a whole wave file
// holding what was read, final by the time its Failure is raised, even when a stuck drive still
// holds the read's thread. Track times are on the CD device's millisecond scale (from the disc's
// absolute start, lead-in included), so a track's start here is its start there.
class DigitalReader : public QObject
{
    Q_OBJECT

public:
    struct Timing {
        // A read whose drive delivers nothing for this long fails.
        std::chrono::milliseconds stallLimit{30000};
        std::chrono::milliseconds watchInterval{1000};
    };

    // Over the drives of cdDrives().
    explicit DigitalReader(QObject* parent = nullptr);
    DigitalReader(DriveList& drives, Timing timing, QObject* parent = nullptr);
    // Stops a running read and waits for it; no event follows.
    ~DigitalReader() override;

    // 0 when there is a drive to read from, else 1 (NoDrives).
    int initialise();
    // Nothing needs installing for digital reading here: always true.
    bool driveLayerInstalled() const { return true; }
    int driveCount() const;
    // Called before each drive is probed; there is nothing to prepare.
    void beforeProbe(int) {}
    // Makes drive n the one the other calls use: 0, or the error number (no such drive, held by
    // another program, no permission). A drive without a disc opens.
    int openDrive(int driveNumber);

    // About the disc in the opened drive now; false or 0 without one, or for a missing track. A
    // track runs from its start to the next track's start, the last one to the lead-out.
    bool isAudioTrack(int track);
    int trackCount();
    int trackLengthMs(int track);
    int trackStartMs(int track);

    // Reads a whole audio track into destination: 0 when the read is accepted, else the error
    // number (data track, no disc, a read running, destination not writable ...).
    int readTrack(int track, const QString& destination);
    // Reads lengthMs from startMs after the start of an audio track: the samples from
    // floor(ms × 44.1) of the section's start to that of its end, on the scale above. The section
    // may run on into later audio tracks and stops at the last frame of audio before a data track
    // or the lead-out; a start outside the track's audio is refused. 0 when accepted, else the
    // error number.
    int readSection(int track, const QString& destination, int startMs, int lengthMs);
    // Ends a running read with Failure(701) at the next sector.
    void abort();

    int openTray();
    int closeTray();

    bool reading() const { return m_job != nullptr; }
    // Why the last call that returned an error number refused.
    QString lastErrorText() const { return m_lastError; }

signals:
    void ReadComplete();
    void Failure(int Errorcode, const QString& ErrorString);

private:
    struct Job;

    int refuse(const ReaderFault& fault);
    Drive* openedDrive() const;
    // The table of contents of the disc in the opened drive now; empty without one.
    Toc discToc() const;
    int read(const QString& destination, const std::function<RangeChoice(const Toc&)>& chooseRange,
             int track);
    void workerEnded();
    void watch();
    void deliver(const ReaderFault& outcome);
    ReaderFault trackFault(ReaderError error, int track) const;

    DriveList& m_drives;
    const Timing m_timing;
    int m_openDrive = 0;
    QString m_lastError;
    std::unique_ptr<Job> m_job;
    std::unique_ptr<UiHandOver> m_handOver;
    QTimer m_watchdog;
};

} // namespace lentaro::cd
