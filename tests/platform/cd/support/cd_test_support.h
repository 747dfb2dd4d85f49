#pragma once

#include "platform/cd/CdLog.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace lentaro::cd::test {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it when the object ends.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// Runs the event loop until condition holds; false when the deadline passed first.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

// Keeps what the CD layer writes to its log, in place of the default log while it lives.
class RecordingCdLog : public CdLog
{
public:
    RecordingCdLog();
    ~RecordingCdLog() override;

    void write(const std::string& line) override;
    std::vector<std::string> lines() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    ScopedOverride<CdLog> m_inPlace;
};

} // namespace lentaro::cd::test
