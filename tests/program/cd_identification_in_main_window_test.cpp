#include "tests/program/cd_side_window_fixture.h"

#include "mainwindow/mainstate.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QLabel>
#include <QSqlTableModel>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace lentaro::test {

namespace {

// The disc's identification reached through the main window: its disc events and CD Requery.
using CdIdentificationInMainWindow = CdSideWindowTest;

TEST_F(CdIdentificationInMainWindow, DiscEventsAndRequeryOfTheMainWindowCheckTheDrive)
{
    withCdSide_ = true;
    useDiscs({fourTrackDisc(), fourTrackDisc()});
    frmMain& m = main();

    discChanges_.arrive('E'); // any drive's event checks the CD drive
    EXPECT_EQ(control<QLabel>(m, "pnlMsg")->text(), QStringLiteral("CD Found"));
    EXPECT_EQ(m.windowTitle(), QStringLiteral("Lentaro - CD Title"));

    eject('D');
    discChanges_.remove('D');
    EXPECT_EQ(control<QLabel>(m, "pnlMsg")->text(), QStringLiteral("No CD in drive"));

    insert('D');
    control<QAction>(m, "mnuCDRequery")->trigger();
    EXPECT_EQ(control<QLabel>(m, "pnlMsg")->text(), QStringLiteral("CD Found"));
}

TEST_F(CdIdentificationInMainWindow, ADamagedImageIsToldOnceWithTheReasonAndTheImagesName)
{
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        std::function<void(cd::test::ImageSpec&)> spec;
        std::function<void(const fs::path& cue)> damage;
        const char* says; // after "The CD image <cue> "
        const char* pnlMsg;
        int tracks;
    };
    const auto bin = [](fs::path cue) { return cue.replace_extension(".bin"); };
    const Case cases[] = {
        {"missing data file",
         {},
         [&](const fs::path& cue) { fs::remove(bin(cue)); },
         "is not used: its data file disc0.bin is missing.",
         "No CD in drive",
         0},
        {"another file named",
         [](cd::test::ImageSpec& spec) { spec.fileLineName = "other.bin"; },
         {},
         "is not used: it names the data file \"other.bin\"; it must name \"disc0.bin\", beside "
         "it.",
         "No CD in drive",
         0},
        {"no cue sheet",
         {},
         [](const fs::path& cue) { std::ofstream(cue) << "Not a cue sheet, only words.\n"; },
         "is not used: it names no data file.",
         "No CD in drive",
         0},
        // The data ends in track 3: track 4 is gone, and the disc shows shorter.
        {"data cut short",
         {},
         [&](const fs::path& cue) {
             fs::resize_file(bin(cue), (2 * trackFrames + trackFrames / 2) * 2352 + 99);
         },
         "is damaged: its data file disc0.bin is cut short, so the disc holds less than its cue "
         "sheet says.",
         "CD Found",
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        withCdSide_ = true;
        cd::test::ImageSpec spec = fourTrackDisc();
        if (c.spec)
            c.spec(spec);
        useDiscs({spec});
        if (c.damage)
            c.damage(cues_.back());
        frmMain& m = main();
        m.show();

        control<QAction>(m, "mnuCDRequery")->trigger();
        control<QAction>(m, "mnuCDRequery")->trigger();

        EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("The CD image ")
                                               + QString::fromStdString(cues_.back().string())
                                               + QLatin1Char(' ') + QString::fromUtf8(c.says)});
        EXPECT_EQ(control<QLabel>(m, "pnlMsg")->text(), QString::fromUtf8(c.pnlMsg));
        EXPECT_EQ(m.state().dtaTracks->rowCount(), c.tracks);
        TearDown();
        SetUp();
    }
}

} // namespace

} // namespace lentaro::test
