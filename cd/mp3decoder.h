#pragma once

#include "trace/runtimeerror.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

struct mpg123_handle_struct;

namespace lentaro {

class UiHandOver;

// An MP3 file that cannot be read, or a wave file that cannot be written: the user's to mend,
// told in a sentence that names the file and says why.
class Mp3FileError : public RuntimeError
{
public:
    using RuntimeError::RuntimeError;
};

namespace wavesection {
class ReplacementFile;
}

// Turns an MP3 file into a 16-bit PCM wave file at the MP3's rate and channels, on a thread of
// its own: the MP3 conversion dialog's decoder. Files that carry their encoder's delay and
// padding decode gapless, to exactly the samples that were encoded. Calls come from the
// user-interface thread, and so do the events, from the event loop after the call that started
// the conversion has returned.
//
// The wave file takes the place of the output only once it is whole: until then it is written
// under a temporary name beside it, and a stopped or failed conversion leaves the output as it
// was and no temporary file.
class Mp3Decoder : public QObject
{
    Q_OBJECT

public:
    using MonotonicClock = std::function<std::chrono::steady_clock::duration()>;
    // Where a test holds the conversion's thread: afterFrame runs on it after each decoded
    // frame; stopping runs on the caller's thread once stop() has told the conversion to end,
    // before it waits for the thread.
    struct Pacing {
        std::function<void()> afterFrame;
        std::function<void()> stopping;
    };

    explicit Mp3Decoder(QObject* parent = nullptr);
    // Stops a running conversion; no event follows.
    ~Mp3Decoder() override;

    // Opens an MP3 file and measures the length of what is there. A file that cannot be read or
    // is no MP3 raises an Mp3FileError and leaves nothing open; one that is cut short opens.
    void open(const QString& fileName);
    void close();
    // The length of the open file as mm:ss; "00:00" with none.
    QString lengthText() const;

    // The wave file the next conversion writes.
    void setOutput(const QString& fileName);
    // Converts the open file from its start, as far as its frames are whole; an Mp3FileError
    // when the output cannot be written, a RuntimeError when nothing is open or a conversion
    // runs.
    void start();
    // Ends a running conversion and waits for its thread; nothing of it is kept or reported.
    void stop();
    bool converting() const { return m_worker.joinable(); }
    // Once a conversion has finished: "" for a whole file, else the sentence that says it was cut
    // short and how much of it the wave file holds.
    QString cutShort() const { return m_cutShort; }

    // What the conversion times its position reports by (the machine's monotonic clock unless
    // set); called on the conversion's thread.
    void setClock(MonotonicClock clock) { m_clock = std::move(clock); }
    void setPacing(Pacing pacing) { m_pacing = std::move(pacing); }

signals:
    // Every second of the conversion and once at its end: the decoded position in ms and as mm:ss.
    void PlaybackPosition(int Position, const QString& TimePosition);
    // The wave file is complete and in place.
    void PlaybackFinished();
    // The conversion failed; the output is as it was. The description is a sentence for the
    // user, naming the file.
    void PlaybackFailed(int number, const QString& description);

private:
    struct Outcome;

    void convert(std::uint64_t run);
    Outcome decodeAll(std::uint64_t run);
    void postPosition(std::uint64_t run, std::int64_t frames);
    void finish(std::uint64_t run, const Outcome& outcome);
    void endWorker();

    mpg123_handle_struct* m_handle = nullptr;
    QString m_input;
    QString m_output;
    QString m_cutShort;
    long m_rate = 0;
    int m_channels = 0;
    std::int64_t m_frames = 0;

    MonotonicClock m_clock;
    Pacing m_pacing;
    std::unique_ptr<UiHandOver> m_handOver;
    std::unique_ptr<wavesection::ReplacementFile> m_file;
    std::thread m_worker;
    std::atomic<bool> m_stopping{false};
    // Each conversion's number; what a stopped one posted finds another number and is dropped.
    std::uint64_t m_run = 0;
};

} // namespace lentaro
