#include "tests/app/app_fixture.h"
#include "tests/program/program_fixture.h"
#include "tests/program/program_process.h"
#include "tests/support/sanitizers.h"

#include "app/programfolderowner.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace lentaro::test {

namespace {

constexpr int startTime = 60000;

bool showsAWindow(const ProgramProcess& program)
{
    return program.told().filter(QStringLiteral("shown: ")).size() > 0;
}

} // namespace

// Two Lentaros started on one program folder, each a process of its own.
class SecondStart : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (underThreadSanitizer)
            GTEST_SKIP() << cannotStartPrograms;
        writeFile("SXCLIENT.INI", "[preferences]\nSilent Run=1\n");
    }
};

TEST_F(SecondStart, BringsTheRunningOneForwardAndEndsWithoutTouchingItsFiles)
{
    ProgramProcess first;
    first.start();
    ASSERT_TRUE(first.waitFor(QStringLiteral("shown: frmMain"), startTime))
        << first.errors().toStdString();
    writeFile("temp.wav", "the first one's loop");
    const QByteArray database = readFile("lentaro.mdb");

    ProgramProcess second;
    second.start();
    ASSERT_TRUE(second.waitForEnd(startTime));

    EXPECT_TRUE(second.endedCleanly()) << second.errors().toStdString();
    EXPECT_EQ(second.boxes(), QStringList());
    EXPECT_FALSE(showsAWindow(second)) << second.told().join('\n').toStdString();
    EXPECT_EQ(readFile("temp.wav"), "the first one's loop");
    EXPECT_EQ(readFile("lentaro.mdb"), database);
    // The first one still runs, with its window up.
    EXPECT_FALSE(first.waitForEnd(500));
    EXPECT_TRUE(first.windowsUp().contains(QStringLiteral("frmMain")));
}

TEST_F(SecondStart, AfterTheFirstOneCrashedStartsAsUsual)
{
    {
        ProgramProcess crashed;
        crashed.start();
        ASSERT_TRUE(crashed.waitFor(QStringLiteral("shown: frmMain"), startTime));
        crashed.signal(SIGKILL);
        crashed.waitForEnd(startTime);
    }

    ProgramProcess next;
    next.start();

    EXPECT_TRUE(next.waitFor(QStringLiteral("shown: frmMain"), startTime))
        << next.told().join('\n').toStdString() << next.errors().toStdString();
    EXPECT_EQ(next.boxes(), QStringList());
}

TEST_F(SecondStart, WhenTheOwnerDoesNotAnswerSaysSoAndEnds)
{
    // Another process owns the folder (this test's) and never answers.
    const int owner = ::open(QFile::encodeName(home()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(owner, 0);
    ASSERT_EQ(::flock(owner, LOCK_EX | LOCK_NB), 0);

    ProgramProcess second;
    second.start();
    const bool ended = second.waitForEnd(startTime);
    ::close(owner);

    ASSERT_TRUE(ended);
    EXPECT_TRUE(second.endedCleanly()) << second.errors().toStdString();
    EXPECT_EQ(second.boxes(), QStringList{folderInUseText(home())});
    EXPECT_FALSE(showsAWindow(second));
    // Nothing was copied into the folder it does not own.
    EXPECT_FALSE(QFileInfo::exists(path("lentaro.mdb")));
}

// The running program, minimised, and a second start on its folder.
TEST_F(Program, ASecondStartBringsTheMinimisedMainWindowBackActive)
{
    std::optional<ProgramFolderOwner::Claim> claimed;
    bool minimisedBefore = false;
    bool minimisedAfter = true;
    bool activeAfter = false;
    EXPECT_EQ(startAndClose([&] {
                  QWidget& main = *forms::loadedFormOf<frmMain>();
                  main.showMinimized();
                  QCoreApplication::processEvents();
                  minimisedBefore = main.isMinimized();
                  // The second start waits for the answer, which this thread's event loop gives.
                  std::atomic<bool> answered{false};
                  std::thread second([&] {
                      claimed = ProgramFolderOwner().claim(home());
                      answered = true;
                  });
                  const QDeadlineTimer deadline(20000);
                  while (!answered && !deadline.hasExpired())
                      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                  second.join();
                  QCoreApplication::processEvents();
                  minimisedAfter = main.isMinimized();
                  activeAfter = QApplication::activeWindow() == &main;
              }),
              0);

    EXPECT_EQ(claimed, ProgramFolderOwner::Claim::Forwarded);
    EXPECT_TRUE(minimisedBefore);
    EXPECT_FALSE(minimisedAfter);
    EXPECT_TRUE(activeAfter);
}

} // namespace lentaro::test
