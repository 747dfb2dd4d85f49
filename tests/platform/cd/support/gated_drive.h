#pragma once

#include "platform/cd/Drive.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace lentaro::cd::test {

// Holds a drive's reads where a test wants them: every read of frames waits at the gate until the
// test lets it through, so the test can change the disc between two pieces of one read. A read
// held longer than the gate's patience passes anyway and is noted, so a test that forgets its
// gate fails instead of hanging.
class Gate
{
public:
    // The reading thread's side: counts the read and waits until it may pass.
    void arrive();
    // Lets the next reads through, or all of them from now on.
    void letThrough(int reads);
    void open();
    // Waits until so many reads have arrived at the gate; false when the deadline passed first.
    bool waitForArrivals(int reads, std::chrono::milliseconds deadline = std::chrono::seconds(10));
    // Whether a read passed only because the gate's patience ran out.
    bool forcedOpen();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_arrivals = 0;
    int m_allowed = 0;
    bool m_open = false;
    bool m_forcedOpen = false;
};

// Another drive whose frame readers wait at a gate before each read; all else passes through.
class GatedDrive : public Drive
{
public:
    GatedDrive(std::unique_ptr<Drive> inner, Gate& gate);

    std::string path() const override { return m_inner->path(); }
    std::string deviceNode() const override { return m_inner->deviceNode(); }
    bool discPresent() override { return m_inner->discPresent(); }
    bool trayOpen() override { return m_inner->trayOpen(); }
    Toc toc() override { return m_inner->toc(); }
    bool eject() override { return m_inner->eject(); }
    bool closeTray() override { return m_inner->closeTray(); }
    DriveAccess access() override { return m_inner->access(); }
    OpenedFrames openFrames() override;

private:
    std::unique_ptr<Drive> m_inner;
    Gate& m_gate;
};

} // namespace lentaro::cd::test
