#include "tests/program/program_fixture.h"

#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "mainwindow/frmMain.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "trace/sentrixreporter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <functional>
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
    // A first start without a CD drive says only that.
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("No CD drive was found. Once one is "
                                                          "connected, choose it in Settings with "
                                                          "\"Choose/Change CD Drive\".")});
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

// Once a start has stored the schema's version, a later start finds lentaro.mdb as something
// that does not open: it says so as the first start would, and ends without a window.
TEST_F(Program, ALaterStartWhoseDatabaseDoesNotOpenSaysSoAndEnds)
{
    ASSERT_EQ(startAndClose([] {}), 0);
    ASSERT_EQ(processEnd_.ends, 1);
    const QString database = path("lentaro.mdb");
    const QString told = QStringLiteral("Please inform the programmer that file ") + home()
                         + QStringLiteral("/lentaro.mdb failed to open. Error is ");

    struct Case {
        const char* name;
        std::function<void()> damage;
    };
    const Case cases[] = {
        {"a folder", [&] { ASSERT_TRUE(QDir().mkdir(database)); }},
        {"no database",
         [&] { writeFile("lentaro.mdb", QByteArray("not a database\n").repeated(64)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(database);
        QDir(database).removeRecursively();
        c.damage();
        deleteUnloaded();
        programState() = {};
        prompts_ = forms::ScriptedPrompts();
        processEnd_.ends = 0;
        // A window that came up would be closed at once, so that the run ends either way.
        bool shown = false;
        QTimer person;
        person.setInterval(10);
        QObject::connect(&person, &QTimer::timeout, [&] {
            QWidget* main = forms::loadedFormOf<frmMain>();
            if (main && !main->isHidden()) {
                shown = true;
                main->close();
            }
        });
        person.start();

        EXPECT_EQ(start(), 0);

        EXPECT_FALSE(shown);
        ASSERT_EQ(shownMessages().size(), 1);
        EXPECT_TRUE(shownMessages()[0].startsWith(told)) << shownMessages()[0].toStdString();
        EXPECT_EQ(processEnd_.ends, 1);
        EXPECT_FALSE(isLoaded("frmAbout"));
        EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
    }
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
