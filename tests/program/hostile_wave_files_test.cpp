// Files that are not what their name says, opened as wave files through File > Open Wave File
// and the recent files: a FIFO, a device, a socket or a folder named x.wav is refused at once
// with what it is; a wave file cut short says so and plays what it holds; one whose header gives
// a sample size wave files do not have is refused.
#include "tests/program/program_fixture.h"

#include "mainwindow/frmMain.h"
#include "platform/mci/MMControl.h"
#include "tests/app/test_database.h"
#include "tests/engine/support/tone.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"
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
        return {
            QStringLiteral("opened-") + QFileInfo(file).baseName(),
            [this, file] { openThroughTheDialog(file); },
            [file] { return control<mci::MMControl>(main(), "WaveControl")->fileName() == file; },
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
                 EXPECT_EQ(control<mci::MMControl>(main(), "WaveControl")->fileName(), other);
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

// Half a second of a two-second tone: the file opens after a message that says how much of it
// is there, its whole-file loop is what is there, and Space plays that much of the tone.
TEST_F(HostileWaveFiles, AFileCutShortSaysHowMuchIsThereAndPlaysIt)
{
    const QString song = path(QStringLiteral("music/cut.wav"));
    QDir().mkpath(QFileInfo(song).absolutePath());
    writeTone(song, 2 * rate);
    ASSERT_TRUE(QFile::resize(song, 44 + 2 * rate / 2));
    const std::vector<Person::Step> steps{
        started(),
        {QStringLiteral("opened"), [&] { openThroughTheDialog(song); },
         [] { return !main().state().cdView; },
         [&] {
             EXPECT_EQ(newMessages(),
                       QStringList{song
                                   + QStringLiteral(" is cut short: it holds 00:00.500 of the "
                                                    "00:02.000 of sound its header gives. Lentaro "
                                                    "plays the part that is there.")});
             EXPECT_EQ(main().windowTitle(), QStringLiteral("Lentaro: ") + song);
             TestDatabase db(path(QStringLiteral("lentaro.mdb")));
             EXPECT_EQ(db.rows(QStringLiteral("SELECT startTime, endTime FROM WaveLoopPoints")),
                       QStringList{QStringLiteral("1|500")});
         }},
        {QStringLiteral("played"), [] { press(main(), Qt::Key_Space); },
         [this] {
             return control<mci::MMControl>(main(), "WaveControl")->mode()
                        == static_cast<int>(mci::Mode::Stopped)
                    && QFileInfo(capture_).size() > 44;
         },
         [this] {
             const mci::test::WaveContents heard = mci::test::readWave(capture_.toStdString());
             ASSERT_GT(heard.channels, 0);
             std::vector<double> first;
             for (std::size_t i = 0; i < heard.samples.size(); i += std::size_t(heard.channels))
                 first.push_back(heard.samples[i]);
             EXPECT_NEAR(double(first.size()) / heard.rate, 0.5, 0.001);
             const kvtest::Middle middle = kvtest::middleOf(first);
             EXPECT_NEAR(kvtest::measureFrequency(first, heard.rate, middle.from, middle.to),
                         toneHz, 1);
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 1), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

// A header whose sample size no wave file has (16-bit sound said to be 7-bit), and a file cut off
// before its first sound: each is refused with why, and gets no row.
TEST_F(HostileWaveFiles, AFileWithoutSoundToPlayIsRefusedWithWhy)
{
    const QString sevenBit = path(QStringLiteral("music/seven.wav"));
    const QString empty = path(QStringLiteral("music/empty.wav"));
    QDir().mkpath(QFileInfo(sevenBit).absolutePath());
    writeTone(sevenBit, rate);
    {
        QFile file(sevenBit);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(32);
        file.write(QByteArray("\x01\x00\x07\x00", 4)); // block align 1, 7 bits a sample
    }
    {
        // A header with a chunk of notes before the data, as broadcast wave files have, and the
        // file cut off right after it.
        writeTone(empty, rate);
        QFile file(empty);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll().left(44);
        bytes.insert(36, QByteArray("junk\xc8\0\0\0", 8) + QByteArray(200, ' '));
        file.resize(0);
        file.write(bytes);
    }
    const struct {
        QString file;
        QString said;
    } refusals[] = {
        {sevenBit, QStringLiteral("cannot read ") + sevenBit
                       + QStringLiteral(": it says its samples have 7 bits, a size wave files do "
                                        "not have (theirs have 8 to 24 bits)")},
        {empty, QStringLiteral("cannot play ") + empty
                    + QStringLiteral(": it is cut short before its first sound")},
    };
    std::vector<Person::Step> steps{started()};
    for (const auto& refusal : refusals) {
        steps.push_back({QStringLiteral("refused-") + QFileInfo(refusal.file).baseName(),
                         [&] { openThroughTheDialog(refusal.file); },
                         {},
                         [&] {
                             EXPECT_EQ(newMessages(), QStringList{refusal.said});
                             EXPECT_TRUE(main().state().cdView);
                         }});
    }
    steps.push_back(exitThroughTheMenu());
    EXPECT_EQ(run(steps, 1), 0);
    TestDatabase db(path(QStringLiteral("lentaro.mdb")));
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM \"Wave Files\"")).toInt(), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
