#include "tests/app/old_database.h"
#include "tests/app/test_database.h"
#include "tests/app/window_fixture.h"

#include "app/cdownership.h"
#include "app/dbversion.h"
#include "app/frmAbout.h"
#include "app/messageForm.h"
#include "app/programstate.h"
#include "app/schemaupgrade.h"
#include "app/startingproc.h"
#include "platform/audio/Devices.h"
#include "platform/forms/screencursor.h"
#include "tests/support/skipping_wait_clock.h"
#include "tests/support/standard_error.h"
#include "trace/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <optional>
#include <ostream>

namespace lentaro::test {
namespace {

const QString rootFolderBox = QStringLiteral(
    "This program was installed into a root directory (/) , probably inadvertently. It is not "
    "designed to run from such a directory. Set LENTARO_HOME to another folder.");
const QString oneTimeText =
    QStringLiteral("Performing one-time initialization. This may take a minute.\n\nPlease wait...");
const QString cdHeldBox = QStringLiteral("Another application has hold of the CD driver. Close "
                                         "that application if you wish this one to gain control.");
const QString oldDatabase = QStringLiteral("Program Files/Lentaro II/lentaro.mdb");

// Logs what start-up asks of the engine runner.
class RecordingRunner : public IdleEngineRunner
{
public:
    explicit RecordingRunner(QStringList& log) : log_(log) {}

    std::int32_t init(const QString& engineLibraryName) override
    {
        log_ << QStringLiteral("init ") + engineLibraryName;
        return 1;
    }
    void registerCallBack(PlayFileCallBack callBack) override
    {
        log_ << QStringLiteral("register callback");
        registered = callBack;
    }

    PlayFileCallBack registered = nullptr;

private:
    QStringList& log_;
};

// Logs the question and gives the answer the test chose.
class ScriptedOwnership : public CdOwnershipQuery
{
public:
    explicit ScriptedOwnership(QStringList& log) : log_(log) {}

    std::optional<bool> heldElsewhere() override
    {
        log_ << QStringLiteral("CD ownership asked");
        return answer;
    }

    std::optional<bool> answer;

private:
    QStringList& log_;
};

void passEndedStandIn(std::int32_t)
{
}

// What the screen showed when the main window began to load.
struct AtMainWindowLoad {
    bool splashShown = false;
    bool splashButtonsShown = true;
    Qt::CursorShape pointer = Qt::ArrowCursor;
    int boxesShown = 0;
};

class StartUp : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        runnerInPlace_.emplace(engineRunner, runner_);
        ownershipInPlace_.emplace(cdOwnershipQuery, ownership_);
    }
    void TearDown() override
    {
        ownershipInPlace_.reset();
        runnerInPlace_.reset();
        WindowTest::TearDown();
    }

    // Links whose main window records the screen as it begins to load, then does what the
    // test gives it.
    StartupLinks links(std::function<void()> mainWindowLoad = [] {})
    {
        StartupLinks startup;
        startup.passEnded = &passEndedStandIn;
        startup.loadMainWindow = [this, mainWindowLoad] {
            log_ << QStringLiteral("load main window");
            AtMainWindowLoad seen;
            if (auto* splash = forms::loadedFormOf<frmAbout>()) {
                seen.splashShown = !splash->isHidden();
                seen.splashButtonsShown =
                    !splash->cmdOK->isHidden() || !splash->Command1->isHidden();
            }
            seen.pointer = forms::screenMousePointer();
            seen.boxesShown = static_cast<int>(prompts_.messageBoxes().size());
            atLoad_ = seen;
            mainWindowLoad();
        };
        return startup;
    }

    void makeFolder(const QString& name) { ASSERT_TRUE(QDir(home()).mkpath(name)); }

    // A database of the program's tables with a row that names it.
    void makeDatabase(const QString& name, const QString& marker)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        TestDatabase db(path(name));
        db.run(version6
               + QStringLiteral("CREATE TABLE Marker (name TEXT); INSERT INTO Marker VALUES ('%1')")
                     .arg(marker));
    }

    QString markerOf(const QString& name)
    {
        if (!QFileInfo::exists(path(name)))
            return {};
        TestDatabase db(path(name));
        return db.value(QStringLiteral("SELECT name FROM Marker")).toString();
    }

    QString storedText(const QString& name) const
    {
        const std::optional<registry::Value> stored = storedPreference(name);
        return stored ? QString::fromStdString(stored->bytes()) : QString();
    }

    QStringList log_;
    RecordingRunner runner_{log_};
    ScriptedOwnership ownership_{log_};
    std::optional<AtMainWindowLoad> atLoad_;

private:
    std::optional<ScopedOverride<EngineRunner>> runnerInPlace_;
    std::optional<ScopedOverride<CdOwnershipQuery>> ownershipInPlace_;
};

TEST_F(StartUp, BindsTheEngineAndShowsTheSplashWithoutButtonsBeforeTheMainWindowLoads)
{
    programState().gvSlowMode = true;
    ownership_.answer = true;

    Main(links());

    EXPECT_EQ(log_, (QStringList{"init libkelvor.so", "register callback", "CD ownership asked",
                                 "load main window"}));
    EXPECT_EQ(runner_.registered, &passEndedStandIn);
    ASSERT_TRUE(atLoad_);
    EXPECT_TRUE(atLoad_->splashShown);
    EXPECT_FALSE(atLoad_->splashButtonsShown);
    EXPECT_EQ(atLoad_->pointer, Qt::WaitCursor);
    EXPECT_EQ(atLoad_->boxesShown, 1) << "the CD box comes before the splash";
    EXPECT_EQ(shownMessages(), QStringList{cdHeldBox});

    // The splash stays for the main window to close; start-up is still under way.
    ASSERT_NE(forms::loadedFormOf<frmAbout>(), nullptr);
    EXPECT_FALSE(forms::loadedFormOf<frmAbout>()->isHidden());
    EXPECT_EQ(forms::screenMousePointer(), Qt::ArrowCursor);
    EXPECT_TRUE(programState().gvStartingUp);
    EXPECT_FALSE(programState().gvSlowMode);
    EXPECT_TRUE(programState().gvShowTips);
    EXPECT_EQ(storedPreference("Show Tips at Startup"), registry::Value::binary("True"));
    // The shipped database was copied into the fresh program folder.
    EXPECT_TRUE(QFileInfo(path("lentaro.mdb")).isFile());
    EXPECT_EQ(quits_, 0);
    EXPECT_EQ(trappedError(), 0);
}

// The hourglass stands while the main window loads and is gone afterwards, however the load
// ended.
TEST_F(StartUp, ThePointerIsNormalAgainWhenTheMainWindowHasLoadedOrFailed)
{
    struct Case {
        const char* what;
        std::function<void()> load;
        std::int32_t error;
    };
    const Case cases[] = {
        {"loads", [] {}, 0},
        {"fails", [] { throw RuntimeError(7, QStringLiteral("Out of memory")); }, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        atLoad_.reset();
        forms::setScreenMousePointer(Qt::ArrowCursor);
        programState() = {};

        initializePhase2(links(c.load));

        ASSERT_TRUE(atLoad_);
        EXPECT_EQ(atLoad_->pointer, Qt::WaitCursor);
        EXPECT_EQ(forms::screenMousePointer(), Qt::ArrowCursor);
        EXPECT_EQ(trappedError(), c.error);
        if (c.error) {
            EXPECT_EQ(lastError().procedure, "Sub initializePhase2");
        }
    }
}

// A LENTARO_AUDIO the sound layer does not know is named in one box, and start-up goes on to the
// main window; a value it knows shows nothing.
TEST_F(StartUp, AnUnknownSoundChoiceIsNamedOnceAndStartUpGoesOn)
{
    struct Case {
        const char* value;
        bool told;
    };
    const QByteArray previous = qgetenv("LENTARO_AUDIO");
    for (const Case& c :
         {Case{"nul", true}, Case{"portaudio", true}, Case{"", false}, Case{"null", false}}) {
        SCOPED_TRACE(c.value);
        qputenv("LENTARO_AUDIO", c.value);
        const qsizetype before = shownMessages().size();
        atLoad_.reset();

        initializePhase2(links());

        const QStringList shown = shownMessages().mid(before);
        ASSERT_EQ(shown.size(), c.told ? 1 : 0) << shown.join(QLatin1Char('\n')).toStdString();
        if (c.told) {
            EXPECT_TRUE(shown[0].contains(QStringLiteral("\"%1\"").arg(QLatin1String(c.value))))
                << shown[0].toStdString();
            EXPECT_TRUE(shown[0].contains(QStringLiteral("LENTARO_AUDIO=null")));
        }
        EXPECT_TRUE(atLoad_);
        EXPECT_EQ(trappedError(), 0);
    }
    qputenv("LENTARO_AUDIO", previous);
}

// What ALSA and JACK say while PortAudio starts (at the first use of the real devices) stays off
// standard error unless the trace settings write a trace. Each case is a process of its own
// (ctest): PortAudio starts once in a process.
class SoundLibrariesMessages : public StartUp, public ::testing::WithParamInterface<const char*>
{};

TEST_P(SoundLibrariesMessages, ReachStandardErrorOnlyWhenTheTraceSettingsWriteATrace)
{
    const QByteArray settings = GetParam();
    if (!settings.isEmpty())
        writeFile(QStringLiteral("SXCLIENT.INI"), settings);
    const QByteArray previous = qgetenv("LENTARO_AUDIO");
    qunsetenv("LENTARO_AUDIO");
    initializePhase2(links());
    const std::string said = standardErrorOf([] {
        audio::queryOutput({2, 44100, 16, audio::Encoding::Pcm});
    });
    qputenv("LENTARO_AUDIO", previous);
    if (settings.isEmpty()) {
        EXPECT_EQ(said, "");
    } else if (said.empty()) {
        GTEST_SKIP() << "the sound libraries say nothing as PortAudio starts here";
    } else {
        EXPECT_TRUE(said.find("ALSA lib") != std::string::npos
                    || said.find("jack") != std::string::npos)
            << said;
    }
}

INSTANTIATE_TEST_SUITE_P(TraceSettings, SoundLibrariesMessages,
                         ::testing::Values("", "[log file]\nWrite To Disk=1\nCapture To Disk=1\n",
                                           "[Log File]\nCircularLog=1\n"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0   ? "NoTrace"
                                                : info.index == 1 ? "PlainLog"
                                                                  : "CircularLog");
                         });

enum class Drivers { None, Plain, WithDumps, PlainFile };

struct StartCase {
    const char* what;
    bool rootFolder;
    Drivers drivers;
    QStringList boxes;
    int quits;
    QString statusText; // "": no status window
    bool driversLeft;
    bool mainWindowLoaded;
};

void PrintTo(const StartCase& c, std::ostream* out)
{
    *out << c.what;
}

class StartTable : public StartUp, public ::testing::WithParamInterface<StartCase>
{};

TEST_P(StartTable, RefusesTheRootFolderAndRemovesALeftoverDriversFolder)
{
    const StartCase& c = GetParam();
    switch (c.drivers) {
    case Drivers::None:
        break;
    case Drivers::Plain:
        makeFolder("drivers");
        writeFile("drivers/install.bat", "rem install");
        break;
    case Drivers::WithDumps:
        makeFolder("drivers/cd1dump");
        makeFolder("drivers/old cd2dump");
        writeFile("drivers/install.bat", "rem install");
        writeFile("drivers/cd1dump/trace.log", "dump");
        writeFile("drivers/old cd2dump/trace.log", "dump");
        break;
    case Drivers::PlainFile:
        writeFile("drivers", "a file of the user's, not a driver folder");
        break;
    }
    const auto rootEntries = [] {
        return QDir("/").entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                   | QDir::NoDotAndDotDot);
    };
    const QStringList rootBefore = rootEntries();
    if (c.rootFolder)
        qputenv("LENTARO_HOME", "/");

    Main(links());

    EXPECT_EQ(shownMessages(), c.boxes);
    EXPECT_EQ(quits_, c.quits);
    auto* status = forms::loadedFormOf<messageForm>();
    EXPECT_EQ(status ? status->Label1->text() : QString(), c.statusText);
    if (status) {
        EXPECT_EQ(status->windowTitle(), "Starting Lentaro");
    }
    EXPECT_EQ(QFileInfo::exists(path("drivers")), c.driversLeft);
    EXPECT_FALSE(QFileInfo::exists(path("extern.bin"))) << "nothing is archived";
    EXPECT_EQ(log_.contains("load main window"), c.mainWindowLoaded);
    EXPECT_EQ(trappedError(), 0);
    if (c.rootFolder) {
        // Nothing read or written: no preference, no file, no engine.
        EXPECT_TRUE(log_.isEmpty());
        EXPECT_TRUE(QDir(registryFolder()).isEmpty());
        EXPECT_EQ(rootEntries(), rootBefore);
        EXPECT_FALSE(programState().gvStartingUp);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Main, StartTable,
    ::testing::Values(
        StartCase{"RootFolder", true, Drivers::None, {rootFolderBox}, 1, {}, false, false},
        StartCase{"NoDriversFolder", false, Drivers::None, {}, 0, {}, false, true},
        StartCase{
            "DriversWithoutDumpFolders", false, Drivers::Plain, {}, 0, oneTimeText, false, true},
        StartCase{
            "DriversWithDumpFolders", false, Drivers::WithDumps, {}, 0, oneTimeText, false, true},
        StartCase{"AFileNamedDrivers", false, Drivers::PlainFile, {}, 0, {}, true, true}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return info.param.what; });

enum class OldFile { None, Database, NotADatabase };
enum class Obstacle { None, ReadOnlyDatabase, CopyBlocked };

struct AdoptionCase {
    const char* what;
    const char* oldDBHandled; // nullptr: unset
    const char* dbVersion;    // nullptr: unset
    OldFile oldFile;
    Obstacle obstacle;
    // What lentaro.mdb and lentaro.mdb.bak hold afterwards ("": no such file), the two
    // preferences and whether an error reached the central handler.
    const char* database;
    const char* backup;
    const char* dbVersionAfter;
    const char* oldDBHandledAfter;
    bool fails;
};

void PrintTo(const AdoptionCase& c, std::ostream* out)
{
    *out << c.what;
}

class Adoption : public StartUp, public ::testing::WithParamInterface<AdoptionCase>
{};

TEST_P(Adoption, AdoptsTheOldDatabaseOnceWholeOrNotAtAll)
{
    const AdoptionCase& c = GetParam();
    makeDatabase("lentaro.mdb", "current");
    if (c.oldDBHandled)
        storePreferenceText("oldDBHandled", c.oldDBHandled);
    if (c.dbVersion)
        storePreferenceText("dbVersion", c.dbVersion);
    switch (c.oldFile) {
    case OldFile::None:
        break;
    case OldFile::Database:
        makeDatabase(oldDatabase, "old");
        break;
    case OldFile::NotADatabase:
        makeFolder("Program Files/Lentaro II");
        writeFile(oldDatabase, "Standard Jet DB, which this program cannot read");
        break;
    }
    switch (c.obstacle) {
    case Obstacle::None:
        break;
    case Obstacle::ReadOnlyDatabase:
        ASSERT_TRUE(QFile::setPermissions(path("lentaro.mdb"), QFileDevice::ReadOwner));
        break;
    case Obstacle::CopyBlocked:
        // A folder with something in it where the copy is written.
        makeFolder("lentaro.mdb.copying");
        writeFile("lentaro.mdb.copying/keep", "");
        break;
    }

    handleOldMDB();

    EXPECT_EQ(markerOf("lentaro.mdb"), c.database);
    EXPECT_EQ(markerOf("lentaro.mdb.bak"), c.backup);
    EXPECT_EQ(storedText("dbVersion"), c.dbVersionAfter);
    EXPECT_EQ(storedText("oldDBHandled"), c.oldDBHandledAfter);
    EXPECT_EQ(trappedError() != 0, c.fails) << lastError().description.toStdString();
    EXPECT_FALSE(QFileInfo(path("lentaro.mdb.copying")).isFile());
    EXPECT_FALSE(QFileInfo::exists(path("lentaro.mdb.bak.copying")));
    EXPECT_TRUE(shownMessages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    handleOldMDB, Adoption,
    ::testing::Values(AdoptionCase{"NoOldFile", nullptr, "7", OldFile::None, Obstacle::None,
                                   "current", "", "7", "True", false},
                      AdoptionCase{"Version7BecomesVersion6", nullptr, "7", OldFile::Database,
                                   Obstacle::None, "old", "current", "6", "True", false},
                      AdoptionCase{"Version5Stays", nullptr, "5", OldFile::Database, Obstacle::None,
                                   "old", "current", "5", "True", false},
                      AdoptionCase{"VersionUnsetStaysUnset", nullptr, nullptr, OldFile::Database,
                                   Obstacle::None, "old", "current", "", "True", false},
                      AdoptionCase{"AlreadyHandled", "True", "7", OldFile::Database, Obstacle::None,
                                   "current", "", "7", "True", false},
                      AdoptionCase{"ReadOnlyDatabaseIsKept", nullptr, "7", OldFile::Database,
                                   Obstacle::ReadOnlyDatabase, "current", "", "7", "", true},
                      AdoptionCase{"FailedCopyKeepsTheDatabase", nullptr, "7", OldFile::Database,
                                   Obstacle::CopyBlocked, "current", "current", "7", "", true},
                      AdoptionCase{"OldFileThatIsNoDatabaseIsLeft", nullptr, "7",
                                   OldFile::NotADatabase, Obstacle::None, "current", "", "7",
                                   "True", false}),
    [](const ::testing::TestParamInfo<AdoptionCase>& info) { return info.param.what; });

// The adopted file comes from an older version: the main window's start-up must upgrade it.
TEST_F(StartUp, TheMainWindowsStartUpUpgradesTheAdoptedDatabase)
{
    makeFolder("Program Files/Lentaro II");
    {
        TestDatabase old(path(oldDatabase));
        old.run(version6);
    }
    storePreferenceText("dbVersion", "7");

    Main(links([] { upgradeSchemaIfOld(); }));

    EXPECT_EQ(readDbVersion(), "7");
    TestDatabase db(path("lentaro.mdb"));
    EXPECT_TRUE(db.fields("CDs").contains("lastLoopSelected INTEGER 0"));
    EXPECT_EQ(db.rows("SELECT Title FROM CDs WHERE CDid = 2"), QStringList{"Blue Train"});
    EXPECT_TRUE(QFileInfo(path("lentaro.mdb.bak")).isFile());
    EXPECT_EQ(trappedError(), 0);
}

// Unread, the flag could not be trusted to be stored, and every start would put the old file
// over the newer one again.
TEST_F(StartUp, NothingIsAdoptedWhileTheSettingsAreOutOfReach)
{
    SkippingWaitClock skippingClock;
    const ScopedOverride skipping(registry::waitClock, skippingClock);
    makeDatabase("lentaro.mdb", "current");
    makeDatabase(oldDatabase, "old");
    // Another descriptor of the lock file stands for another process holding the store.
    const QByteArray lockFile = QFile::encodeName(registryFolder() + "/user.hive.lock");
    const int held = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    handleOldMDB();
    ::close(held);

    EXPECT_EQ(markerOf("lentaro.mdb"), "current");
    EXPECT_FALSE(QFileInfo::exists(path("lentaro.mdb.bak")));
    EXPECT_EQ(storedText("oldDBHandled"), "");
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
