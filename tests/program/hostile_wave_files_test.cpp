// Files that are not what their name says, opened as wave files through File > Open Wave File
// and the recent files: a FIFO, a device, a socket or a folder named x.wav is refused at once
// with what it is.
#include "tests/program/program_fixture.h"

#include "mainwindow/frmMain.h"
#include "platform/mci/MMControl.h"
#include "tests/app/test_database.h"
#include "tests/engine/support/tone.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/non_regular_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace lentaro::test {
namespace {

constexpr int rate = 44100;
constexpr double toneHz = 440;

void writeTone(const QString& path, int frames)
{
    std::vector<std::int16_t> samples;
    for (int frame = 0; frame < frames; ++frame)
        samples.push_back(static_cast<std::int16_t>(
            std::lround(12000 * std::sin(2 * 3.14159265358979323846 * toneHz * frame / rate))));
    mci::test::writeWave16(path.toStdString(), rate, 1, samples);
}

// Ends a wait for a FIFO's other end that the program should never have begun: once the bound
// has passed without the run ending, it opens the FIFOs at both ends (which lets any open of
// them return) again and again until the run ends, and the test learns that it had to.
class FifoDeadline
{
public:
    FifoDeadline(std::vector<std::string> fifos, std::chrono::seconds bound)
        : thread_([this, fifos = std::move(fifos), bound] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (ended_.wait_for(lock, bound, [this] { return done_; }))
                  return;
              fired_ = true;
              while (!ended_.wait_for(lock, std::chrono::milliseconds(100),
                                      [this] { return done_; })) {
                  for (const std::string& fifo : fifos) {
                      const int both = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
                      if (both >= 0)
                          ::close(both);
                  }
              }
          })
    {
    }
    ~FifoDeadline() { end(); }
    // The run ended; true when it could only end by the deadline's help.
    bool end()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        if (thread_.joinable())
            thread_.join();
        return fired_;
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    bool fired_ = false;
    std::thread thread_;
};

class HostileWaveFiles : public ProgramInUse
{
protected:
    Person::Step opened(const QString& file)
    {
        return {QStringLiteral("opened-") + QFileInfo(file).baseName(),
                [this, file] { openThroughTheDialog(file); },
                [file] { return main().WaveControl->fileName() == file; },
                {}};
    }
    void openThroughTheDialog(const QString& file)
    {
        prompts_.queueFile(file);
        press(main(), Qt::Key_O, Qt::ControlModifier);
    }
    // Up, with what start-up itself said set aside.
    Person::Step started()
    {
        return {
            QStringLiteral("started"), {}, [] { return startedUp(); }, [this] { newMessages(); }};
    }
    // The messages shown since the last look.
    QStringList newMessages()
    {
        const QStringList all = shownMessages();
        const QStringList fresh = all.mid(seen_);
        seen_ = static_cast<int>(all.size());
        return fresh;
    }

    int seen_ = 0;
};

struct Standing {
    kvtest::NonRegular kind;
    const char* what;
    bool fifo;
};

// In the File menu and in the recent files alike: what stands where a wave file was expected is
// named in one message, at once, and the program goes on with the file it showed.
TEST_F(HostileWaveFiles, AnythingButAFileIsRefusedAtOnceForWhatItIs)
{
    const QString song = path(QStringLiteral("music/song.wav"));
    const QString other = path(QStringLiteral("music/other.wav"));
    const QString named = path(QStringLiteral("music/x.wav"));
    QDir().mkpath(QFileInfo(song).absolutePath());
    writeTone(song, rate);
    writeTone(other, rate);
    // song.wav enters the recent files while it is a wave file.
    ASSERT_EQ(run({started(), opened(song), exitThroughTheMenu()}, 1), 0);
    endRun();
    ASSERT_TRUE(QFile::remove(song));

    const Standing standings[] = {
        {kvtest::NonRegular::kFifo, "a FIFO", true},
        {kvtest::NonRegular::kLinkToFifo, "a FIFO", true},
        {kvtest::NonRegular::kZeroDevice, "a device", false},
        {kvtest::NonRegular::kSocket, "a socket", false},
        {kvtest::NonRegular::kFolder, "a folder", false},
    };
    int firstNumber = 4;
    for (const Standing& standing : standings) {
        SCOPED_TRACE(standing.what);
        const kvtest::NonRegularFile atNamed(
            standing.kind, QFileInfo(named).absolutePath().toStdString(), "x.wav");
        const kvtest::NonRegularFile atSong(
            standing.kind, QFileInfo(song).absolutePath().toStdString(), "song.wav");
        ASSERT_TRUE(atNamed.made() && atSong.made());
        const QString refusal = QStringLiteral(": it is ") + QLatin1String(standing.what)
                                + QStringLiteral(", not a file");
        std::vector<std::string> fifos;
        if (standing.fifo)
            fifos = {atNamed.path(), atSong.path(), atNamed.path() + ".fifo",
                     atSong.path() + ".fifo"};
        FifoDeadline deadline(fifos, std::chrono::seconds(20));
        const std::vector<Person::Step> steps{
            started(),
            {QStringLiteral("named"),
             [&] { openThroughTheDialog(named); },
             {},
             [&] {
                 EXPECT_EQ(newMessages(),
                           QStringList{QStringLiteral("cannot read ") + named + refusal});
                 EXPECT_TRUE(main().state().cdView);
             }},
            opened(other),
            {QStringLiteral("recent"),
             [&] {
                 newMessages();
                 choose(main(), {QStringLiteral("File"), song});
             },
             {},
             [&] {
                 EXPECT_EQ(newMessages(),
                           QStringList{QStringLiteral("cannot read ") + song + refusal});
                 EXPECT_FALSE(main().state().cdView);
                 EXPECT_EQ(main().WaveControl->fileName(), other);
                 EXPECT_EQ(main().windowTitle(), QStringLiteral("Lentaro: ") + other);
             }},
            exitThroughTheMenu(),
        };
        EXPECT_EQ(run(steps, firstNumber), 0);
        EXPECT_FALSE(deadline.end()) << "the program waited for the other end of a FIFO";
        firstNumber += static_cast<int>(steps.size());
        endRun();
        TestDatabase db(path(QStringLiteral("lentaro.mdb")));
        EXPECT_EQ(
            db.value(QStringLiteral("SELECT COUNT(*) FROM \"Wave Files\" WHERE waveFileName = "
                                    "'x.wav'"))
                .toInt(),
            0);
    }
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
