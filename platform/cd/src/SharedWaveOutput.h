#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

namespace kv {
class SoundStream;
}

namespace lentaro::cd {

// The wave file a read fills on its own thread, which the user-interface thread may close before
// the read ends (a read reported failed while its drive is stuck in a read). Each piece is
// followed by a completed header, so the file is a whole wave file holding what was read at every
// moment; once closed, by either thread, it is final and what is still handed in is dropped.
class SharedWaveOutput
{
public:
    explicit SharedWaveOutput(std::unique_ptr<kv::SoundStream> stream);
    ~SharedWaveOutput();
    SharedWaveOutput(const SharedWaveOutput&) = delete;
    SharedWaveOutput& operator=(const SharedWaveOutput&) = delete;

    // Appends interleaved samples and completes the header: kOk, or why that failed. Once the
    // file is closed, nothing is written and the result is kOk.
    std::int32_t append(const std::int32_t* samples, std::int64_t count);
    // Completes the header and releases the file: kOk, or why that failed; later calls do nothing.
    std::int32_t close();

private:
    std::mutex m_mutex;
    std::unique_ptr<kv::SoundStream> m_stream; // null once closed
};

} // namespace lentaro::cd
