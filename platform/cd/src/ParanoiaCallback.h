#pragma once

#include <cdio/paranoia/paranoia.h>

namespace lentaro::cd {

// What paranoia's callback told about the sectors read since the last reset. Paranoia hands back
// a sector it could not read as zeros and reports success; only its callback says so (a skip,
// after its retries ran out). A read that saw one must fail, never pass a gap off as sound.
class ParanoiaSectorReport
{
public:
    void note(long position, paranoia_cb_mode_t event);
    void reset() { *this = {}; }

    bool unrecovered() const { return m_unrecoveredSector >= 0; }
    // The first sector paranoia gave up on, or -1.
    long unrecoveredSector() const { return m_unrecoveredSector; }
    // Read errors seen, recovered or not; for the log.
    int readErrors() const { return m_readErrors; }

private:
    long m_unrecoveredSector = -1;
    int m_readErrors = 0;
};

// Points paranoia's callback, which carries no context of its own, at a report for the calling
// thread while the scope lives.
class ParanoiaReportScope
{
public:
    explicit ParanoiaReportScope(ParanoiaSectorReport& report);
    ~ParanoiaReportScope();
    ParanoiaReportScope(const ParanoiaReportScope&) = delete;
    ParanoiaReportScope& operator=(const ParanoiaReportScope&) = delete;

private:
    ParanoiaSectorReport* m_previous;
};

// The callback passed to cdio_paranoia_read_limited: notes the event in the calling thread's
// report, if it has one.
extern "C" void paranoiaCallback(long position, paranoia_cb_mode_t event);

} // namespace lentaro::cd
