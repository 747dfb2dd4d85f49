#include "tests/platform/cd/support/gated_drive.h"

namespace lentaro::cd::test {

namespace {

class GatedFrameReader : public FrameReader
{
public:
    GatedFrameReader(std::unique_ptr<FrameReader> inner, Gate& gate)
        : FrameReader(inner->toc()), m_inner(std::move(inner)), m_gate(gate)
    {
    }

    bool discStillThere() override { return m_inner->discStillThere(); }

protected:
    FrameRead readFrames(Lsn lsn, int count, std::uint8_t* frames,
                         const std::atomic<bool>& stop) override
    {
        m_gate.arrive();
        return m_inner->read(lsn, count, frames, stop);
    }

private:
    std::unique_ptr<FrameReader> m_inner;
    Gate& m_gate;
};

constexpr std::chrono::seconds patience{20};

} // namespace

void Gate::arrive()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_arrivals;
    m_changed.notify_all();
    if (!m_changed.wait_for(lock, patience, [this] { return m_open || m_allowed > 0; }))
        m_forcedOpen = true;
    else if (!m_open)
        --m_allowed;
}

bool Gate::forcedOpen()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_forcedOpen;
}

void Gate::letThrough(int reads)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_allowed += reads;
    m_changed.notify_all();
}

void Gate::open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
    m_changed.notify_all();
}

bool Gate::waitForArrivals(int reads, std::chrono::milliseconds deadline)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, deadline, [&] { return m_arrivals >= reads; });
}

GatedDrive::GatedDrive(std::unique_ptr<Drive> inner, Gate& gate)
    : m_inner(std::move(inner)), m_gate(gate)
{
}

OpenedFrames GatedDrive::openFrames()
{
    OpenedFrames opened = m_inner->openFrames();
    if (opened.reader)
        opened.reader = std::make_unique<GatedFrameReader>(std::move(opened.reader), m_gate);
    return opened;
}

} // namespace lentaro::cd::test
