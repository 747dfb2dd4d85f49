#include "tests/platform/cd/support/cd_test_support.h"

#include <QCoreApplication>

#include <stdexcept>
#include <stdlib.h>

namespace lentaro::cd::test {

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "lentaro-cd-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

RecordingCdLog::RecordingCdLog() : m_inPlace(cdLog, *this)
{
}

RecordingCdLog::~RecordingCdLog() = default;

void RecordingCdLog::write(const std::string& line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back(line);
}

std::vector<std::string> RecordingCdLog::lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

} // namespace lentaro::cd::test
