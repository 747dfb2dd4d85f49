#include "platform/cd/src/SharedWaveOutput.h"

#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

namespace lentaro::cd {

SharedWaveOutput::SharedWaveOutput(std::unique_ptr<kv::SoundStream> stream)
    : m_stream(std::move(stream))
{
}

SharedWaveOutput::~SharedWaveOutput() = default;

std::int32_t SharedWaveOutput::append(const std::int32_t* samples, std::int64_t count)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_stream)
        return kv::kOk;
    if (const std::int32_t written = m_stream->write(samples, count); written != kv::kOk)
        return written;
    return m_stream->finish();
}

std::int32_t SharedWaveOutput::close()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_stream)
        return kv::kOk;
    const std::int32_t closed = m_stream->close();
    m_stream.reset();
    return closed;
}

} // namespace lentaro::cd
