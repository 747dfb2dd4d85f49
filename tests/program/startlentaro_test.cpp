#include "tests/program/program_fixture.h"

#include "app/windowhelpers.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "trace/sentrixreporter.h"

#include <QFileInfo>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <optional>

namespace lentaro::test {
namespace {

TEST_F(Program, StartsWithTheEngineShowsTheMainWindowAndLeavesThroughTheExitPath)
{
    struct Shown {
        bool splashLoaded = true;
        bool sentrixReports = false;
    };
    std::optional<Shown> shown;

    EXPECT_EQ(startAndClose([&] {
                  shown = Shown{isLoaded("frmAbout"),
                                dynamic_cast<SentrixReporter*>(&errorReporter()) != nullptr};
              }),
              0);

    ASSERT_TRUE(shown);
    EXPECT_TRUE(hintAnswered_);
    EXPECT_FALSE(shown->splashLoaded);
    EXPECT_TRUE(shown->sentrixReports);
    // The engine beside the runner loaded without a box, and the exit released it.
    EXPECT_EQ(runner_.initResult, 1);
    EXPECT_EQ(runner_.cleanUpResult, 1);
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(processEnd_.ends, 1);
    EXPECT_TRUE(QFileInfo(path("lentaro.mdb")).isFile());
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

TEST_F(Program, ARootProgramFolderEndsTheRunBeforeTheEventLoop)
{
    qputenv("LENTARO_HOME", "/");

    EXPECT_EQ(start(), 0);

    EXPECT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(processEnd_.ends, 1);
    EXPECT_FALSE(runner_.initResult);
}

TEST_F(Program, ACdDriveHeldByAnotherProgramIsToldAtStart)
{
    writeFile("disc.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    writeFile("disc.bin", QByteArray(2352 * 75, '\0'));
    std::vector<std::unique_ptr<cd::Drive>> drives;
    drives.push_back(std::make_unique<cd::ImageDrive>(path("disc.cue").toStdString()));
    cd::DriveList oneDrive(std::move(drives));
    const ScopedOverride drivesInPlace(cd::cdDrives, oneDrive);
    // Another program holds the drive as the layer sees it: an exclusive lock on the image.
    const int other = ::open(path("disc.cue").toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    EXPECT_EQ(startAndClose([] {}), 0);
    ::close(other);

    ASSERT_FALSE(prompts_.messageBoxes().empty());
    EXPECT_EQ(prompts_.messageBoxes().front().text,
              "Another application has hold of the CD driver. Close that application if you "
              "wish this one to gain control.");
}

TEST_F(Program, TheRunnersBoxesAreTheProgramsMessageBoxes)
{
    using HostMessageBox = void (*)(const char*, const char*);
    const auto box = reinterpret_cast<HostMessageBox>(dlsym(RTLD_DEFAULT, "lentaroHostMessageBox"));
    ASSERT_NE(box, nullptr) << "the program exports it";

    box("Unable to load libkelvor.so", "KVPlayFile Error");

    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    const forms::MessageBoxRequest& shown = prompts_.messageBoxes().front();
    EXPECT_EQ(shown.text, "Unable to load libkelvor.so");
    EXPECT_EQ(shown.caption, "KVPlayFile Error");
    EXPECT_EQ(shown.icon, forms::Icon::Critical);
    EXPECT_EQ(shown.buttons, forms::Buttons::OkOnly);
}

} // namespace
} // namespace lentaro::test
