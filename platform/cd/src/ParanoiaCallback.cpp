#include "platform/cd/src/ParanoiaCallback.h"

#include "platform/cd/CdTime.h"

namespace lentaro::cd {

namespace {

thread_local ParanoiaSectorReport* currentReport = nullptr;

// Paranoia counts positions in 16-bit words.
constexpr long wordsPerFrame = bytesPerFrame / 2;

} // namespace

void ParanoiaSectorReport::note(long position, paranoia_cb_mode_t event)
{
    if (event == PARANOIA_CB_READERR)
        ++m_readErrors;
    if (event == PARANOIA_CB_SKIP && m_unrecoveredSector < 0)
        m_unrecoveredSector = position / wordsPerFrame;
}

ParanoiaReportScope::ParanoiaReportScope(ParanoiaSectorReport& report) : m_previous(currentReport)
{
    currentReport = &report;
}

ParanoiaReportScope::~ParanoiaReportScope()
{
    currentReport = m_previous;
}

extern "C" void paranoiaCallback(long position, paranoia_cb_mode_t event)
{
    if (currentReport)
        currentReport->note(position, event);
}

} // namespace lentaro::cd
