#include "tests/cd/cd_rig_fixture.h"

#include "app/programstate.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/platform/mci/fake_device.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace lentaro::test {

namespace {

using cd::test::ImageSpec;

class CdIdentificationTest : public CdRigTest
{
protected:
    // The CDs row current now: title, cdlen, numTracks, track1Len.
    QString currentRow()
    {
        QSqlQuery query(db());
        query.exec(
            QStringLiteral("SELECT Title, cdlen, numTracks, track1Len FROM CDs WHERE CDid=%1")
                .arg(rig().state().currentCDid));
        if (!query.next())
            return QStringLiteral("none");
        return QStringLiteral("%1 %2 %3 %4")
            .arg(query.value(0).toString())
            .arg(query.value(1).toInt())
            .arg(query.value(2).toInt())
            .arg(query.value(3).toInt());
    }
    // The disc's length and track 1's, as the CD device gives them in ms.
    QString identity(int numTracks)
    {
        mci::MMControl& cd = *rig().CDControl;
        cd.setTimeFormat(0);
        cd.setTrack(1);
        return QStringLiteral("CD Title %1 %2 %3")
            .arg(cd.length())
            .arg(numTracks)
            .arg(cd.trackLength());
    }
    QStringList trackNames()
    {
        QStringList names;
        QSqlTableModel& tracks = *rig().state().dtaTracks;
        for (int r = 0; r < tracks.rowCount(); ++r)
            names << tracks.data(tracks.index(r, tracks.fieldIndex("TrackName"))).toString();
        return names;
    }
    int selectedLoopStart()
    {
        const QModelIndexList rows = rig().loopPoints->selectionModel()
                                         ? rig().loopPoints->selectionModel()->selectedRows()
                                         : QModelIndexList{};
        if (rows.isEmpty())
            return -1;
        QSqlTableModel& loops = *rig().state().dtaLoopPoints;
        return loops.data(loops.index(rows.first().row(), loops.fieldIndex("startTime"))).toInt();
    }
    void addLoop(int CDid, int startTime)
    {
        QSqlQuery query(db());
        ASSERT_TRUE(query.exec(
            QStringLiteral("INSERT INTO LoopPoints (CDid, TrackNum, startTime) VALUES (%1, 1, %2)")
                .arg(CDid)
                .arg(startTime)));
    }
    void setLastLoop(int CDid, const QString& value)
    {
        QSqlQuery query(db());
        ASSERT_TRUE(query.exec(QStringLiteral("UPDATE CDs SET lastLoopSelected=%1 WHERE CDid=%2")
                                   .arg(value)
                                   .arg(CDid)));
    }
};

TEST_F(CdIdentificationTest, NewDiscGetsOneRowAndItsTracksAndTheTitleReadyForTyping)
{
    useDiscs({fourTrackDisc()});
    const int discsBefore = count("CDs");
    identification().checkCDPresent();

    EXPECT_EQ(count("CDs"), discsBefore + 1);
    EXPECT_EQ(currentRow(), identity(4));
    EXPECT_EQ(count("CDs", "Artist = 'Artist'"), 1);
    EXPECT_EQ(trackNames(), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(count("Tracks", QStringLiteral("CDid=%1").arg(rig().state().currentCDid)), 4);
    EXPECT_EQ(rig().CDTitle->selectedText(), QStringLiteral("CD Title"));
    EXPECT_EQ(shown(), (Shown{"CD Found", "Lentaro - CD Title", "CD Title", true}));
    EXPECT_EQ(rig().pnlCDlength->text(), QStringLiteral("CD Length: 01:00"));
    EXPECT_EQ(rig().txtCurrentPosition->text(), QStringLiteral("01:00:00"));
    EXPECT_EQ(switchedToTracks_, std::vector<int>{1});
    EXPECT_FALSE(rig().CDTitle->isHidden());
    EXPECT_TRUE(rig().CDControl->isEnabled());
}

TEST_F(CdIdentificationTest, KnownDiscComesBackWithItsRowsAndLastLoop)
{
    struct Case {
        const char* name;
        QString lastLoopSelected;
        int selected;
    };
    const Case cases[] = {
        {"last loop", "4000", 4000},
        {"zero selects none", "0", -1},
        {"Null selects none", "NULL", -1},
    };
    useDiscs({fourTrackDisc()});
    identification().checkCDPresent();
    const int CDid = rig().state().currentCDid;
    addLoop(CDid, 3000);
    addLoop(CDid, 4000);
    const int discs = count("CDs");
    const int tracks = count("Tracks");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setLastLoop(CDid, c.lastLoopSelected);
        eject('D');
        identification().checkCDPresent();
        EXPECT_EQ(shown(), noDisc());
        EXPECT_EQ(rig().state().currentCDid, 1);
        EXPECT_EQ(rig().state().dtaTracks->rowCount(), 0);

        insert('D');
        identification().checkCDPresent();
        EXPECT_EQ(rig().state().currentCDid, CDid);
        EXPECT_EQ(count("CDs"), discs);
        EXPECT_EQ(count("Tracks"), tracks);
        EXPECT_EQ(rig().state().dtaTracks->rowCount(), 4);
        EXPECT_EQ(rig().state().dtaLoopPoints->rowCount(), 2);
        EXPECT_EQ(selectedLoopStart(), c.selected);
        EXPECT_EQ(shown(), (Shown{"CD Found", "Lentaro - CD Title", "CD Title", true}));
    }
}

TEST_F(CdIdentificationTest, DiscsOfEqualIdentityShareTheFirstRow)
{
    useDiscs({fourTrackDisc(), fourTrackDisc()});
    identification().checkCDPresent();
    const int first = rig().state().currentCDid;
    const int discs = count("CDs");
    useDrive('E');
    identification().checkCDPresent();
    EXPECT_EQ(rig().state().currentCDid, first);
    EXPECT_EQ(count("CDs"), discs);
}

TEST_F(CdIdentificationTest, UnchangedDiscRecheckedSearchesNothing)
{
    useDiscs({fourTrackDisc()});
    identification().checkCDPresent();
    rig().pnlCDlength->setText(QStringLiteral("untouched"));
    switchedToTracks_.clear();

    identification().checkCDPresent(); // a requery, or an event of another drive
    EXPECT_EQ(rig().pnlCDlength->text(), QStringLiteral("untouched"));
    EXPECT_TRUE(switchedToTracks_.empty());
    EXPECT_EQ(shown().pnlMsg, QStringLiteral("CD Found"));

    // A hidden title field is shown again, and nothing else is redone.
    rig().CDTitle->hide();
    identification().checkCDPresent();
    EXPECT_FALSE(rig().CDTitle->isHidden());
    EXPECT_EQ(rig().pnlCDlength->text(), QStringLiteral("untouched"));
}

TEST_F(CdIdentificationTest, DiscUnderAMinuteIsNotSwitchedToTrackOne)
{
    struct Case {
        int seconds;
        std::vector<int> switched;
    };
    for (const Case& c : {Case{40, {}}, Case{59, {}}, Case{61, {1}}}) {
        SCOPED_TRACE(c.seconds);
        useDiscs({audioDisc(c.seconds)});
        switchedToTracks_.clear();
        identification().checkCDPresent();
        EXPECT_EQ(shown().pnlMsg, QStringLiteral("CD Found"));
        EXPECT_EQ(switchedToTracks_, c.switched);
        TearDown();
        SetUp();
    }
}

TEST_F(CdIdentificationTest, DataDiscsAndDiscsWithAudioAfterData)
{
    ImageSpec dataOnly;
    dataOnly.tracks = {{450, 0, true}};
    ImageSpec dataThenAudio;
    dataThenAudio.tracks = {{450, 0, true}, {900, 0, false}, {900, 0, false}};
    // The cases share one database: another identity, so that this disc is new there too.
    ImageSpec dataThenAudioLonger = dataThenAudio;
    dataThenAudioLonger.tracks.back().frames = 1200;
    struct Case {
        const char* name;
        ImageSpec disc;
        bool digital;
        bool audio;
    };
    const Case cases[] = {
        {"data only, digital", dataOnly, true, false},
        {"data then audio, digital", dataThenAudio, true, true},
        {"data then audio, analog", dataThenAudioLonger, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useDiscs({c.disc});
        programState().gvDigitalRecordingOK = c.digital;
        programState().gvDigCDNum = 1;
        const int discs = count("CDs");
        identification().checkCDPresent();
        if (c.audio) {
            EXPECT_EQ(shown().pnlMsg, QStringLiteral("CD Found"));
            // The identity is the disc's, data track 1 included.
            EXPECT_EQ(currentRow(), identity(3));
            EXPECT_EQ(count("CDs"), discs + 1);
        } else {
            EXPECT_EQ(shown(), noAudio());
            EXPECT_EQ(rig().state().currentCDid, 1);
            EXPECT_EQ(count("CDs"), discs);
        }
        TearDown();
        SetUp();
    }
}

TEST_F(CdIdentificationTest, TheThreeStates)
{
    ImageSpec dataOnly;
    dataOnly.tracks = {{450, 0, true}};
    useDiscs({fourTrackDisc(), dataOnly});
    programState().gvDigitalRecordingOK = true;
    programState().gvDigCDNum = 1;
    identification().checkCDPresent();
    EXPECT_EQ(shown(), (Shown{"CD Found", "Lentaro - CD Title", "CD Title", true}));

    // Outside the CD view the caption leaves out the title.
    rig().state().cdView = false;
    identification().showCDfields();
    EXPECT_EQ(rig().windowTitle(), QStringLiteral("Lentaro"));
    rig().state().cdView = true;

    eject('D');
    identification().checkCDPresent();
    EXPECT_EQ(shown(), noDisc());
    // Of the transport, Eject alone: it closes the tray again.
    EXPECT_TRUE(rig().CDControl->isEnabled());
    for (const mci::Button button : mci::allButtons) {
        EXPECT_EQ(rig().CDControl->bar()->button(button)->isEnabled(),
                  button == mci::Button::Eject);
    }

    useDrive('E');
    programState().gvDigCDNum = 2;
    identification().checkCDPresent();
    EXPECT_EQ(shown(), noAudio());
    EXPECT_EQ(rig().state().currentCDid, 1);
}

// Fixtures of a CD device that answers badly.
class TracksWithoutLength : public mci::test::FakeDevice
{
public:
    // The length shows from this many opens on; never with 0.
    int lengthFromOpen = 0;
    int lengthMs = 150000;
    int opens = 0;

    mci::Outcome open(const QString& name) override
    {
        ++opens;
        return FakeDevice::open(name);
    }
    mci::Reading length(mci::TimeFormat) const override
    {
        return mci::Reading::of(lengthFromOpen > 0 && opens >= lengthFromOpen ? lengthMs : 0);
    }
};

const QString notResponding =
    QStringLiteral("The CD player is not responding. A restart of Windows "
                   "might fix this problem.");

TEST_F(CdIdentificationTest, UnidentifiedDiscNeverLeavesThePreviousDiscCurrent)
{
    useDiscs({fourTrackDisc()});
    identification().checkCDPresent();
    const int previous = rig().state().currentCDid;
    ASSERT_GT(previous, 1);

    struct Case {
        const char* name;
        int lengthFromOpen;
        bool identified;
    };
    // The wait (3 s at 0.5 s a reading) re-opens 5 times; the lookup up to 6 more.
    const Case cases[] = {
        {"never a length", 0, false},
        {"length on the lookup's sixth re-open", 11, true},
        {"length one re-open too late", 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig().state().currentCDid = previous;
        auto device = std::make_unique<TracksWithoutLength>();
        TracksWithoutLength& bad = *device;
        bad.lengthFromOpen = c.lengthFromOpen;
        rig().CDControl->setDevice(std::move(device), QStringLiteral("CDAudio"));
        const std::size_t boxes = prompts_.messageBoxes().size();
        identification().checkCDPresent();

        ASSERT_EQ(prompts_.messageBoxes().size(), boxes + 1);
        EXPECT_TRUE(prompts_.messageBoxes().back().text.startsWith(notResponding));
        EXPECT_EQ(bad.opens, 11);
        if (c.identified) {
            EXPECT_EQ(currentRow(), QStringLiteral("CD Title 150000 1 1000"));
            EXPECT_EQ(shown().pnlMsg, QStringLiteral("CD Found"));
        } else {
            EXPECT_EQ(rig().state().currentCDid, 1);
            EXPECT_EQ(shown(), noDisc());
        }
    }
}

TEST_F(CdIdentificationTest, CheckEndedByAnErrorShowsNoDisc)
{
    useDiscs({fourTrackDisc()});
    identification().checkCDPresent();
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec("ALTER TABLE CDs RENAME TO CDsAway"));
    identification().checkCDPresent();
    EXPECT_EQ(shown(), noDisc());

    ASSERT_TRUE(query.exec("ALTER TABLE CDsAway RENAME TO CDs"));
    identification().checkCDPresent();
    EXPECT_EQ(shown().pnlMsg, QStringLiteral("CD Found"));
}

TEST_F(CdIdentificationTest, IdentityIsReadInMillisecondsInEveryView)
{
    useDiscs({fourTrackDisc()});
    CdSideRig& m = rig();
    // Another view is current and the CD device was left in minutes, seconds and frames.
    m.state().setCurrentMMControl(m.WaveControl);
    m.state().cdView = false;
    m.CDControl->setTimeFormat(2);
    QString reason;
    ASSERT_TRUE(m.state().bindWaveLoops(7, reason));
    identification().checkCDPresent();
    EXPECT_EQ(currentRow(), identity(4));
    const int discs = count("CDs");
    // The loop grid keeps the wave file's loops until the "CD" view shows again.
    EXPECT_EQ(m.state().boundWaveFileID(), 7);
    m.state().cdView = true;
    identification().refreshDisplayForNewCD();
    EXPECT_EQ(m.state().boundWaveFileID(), 0);

    // Checked again from MSF: the same disc, no second row.
    m.CDControl->setTimeFormat(2);
    identification().checkCDPresent();
    EXPECT_EQ(count("CDs"), discs);
}

TEST_F(CdIdentificationTest, FailedInsertWritesNothingAndShowsNoDisc)
{
    useDiscs({fourTrackDisc()});
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec("CREATE TRIGGER full BEFORE INSERT ON Tracks WHEN NEW.TrackNum = 3 "
                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
    const int discs = count("CDs");
    const int tracks = count("Tracks");
    identification().checkCDPresent();

    EXPECT_EQ(count("CDs"), discs);
    EXPECT_EQ(count("Tracks"), tracks);
    EXPECT_NE(trappedError(), 0);
    EXPECT_TRUE(lastError().description.contains("disk is full"));
    EXPECT_EQ(shown(), noDisc());
    EXPECT_EQ(rig().state().currentCDid, 1);
}

// Prompts that run something while a box is up, as a disc event arriving then would.
class PromptsWithEvent : public forms::ScriptedPrompts
{
public:
    std::function<void()> whileShown;
    int depth = 0;
    int deepest = 0;

    forms::Answer messageBox(const forms::MessageBoxRequest& request) override
    {
        ++depth;
        deepest = std::max(deepest, depth);
        if (auto event = std::exchange(whileShown, nullptr))
            event();
        const forms::Answer answer = ScriptedPrompts::messageBox(request);
        --depth;
        return answer;
    }
};

TEST_F(CdIdentificationTest, EventDuringACheckRunsOneCheckAfterIt)
{
    useDiscs({fourTrackDisc()});
    PromptsWithEvent prompts;
    const ScopedOverride promptsInPlace(forms::prompts, prompts);
    auto device = std::make_unique<TracksWithoutLength>();
    TracksWithoutLength& bad = *device;
    rig().CDControl->setDevice(std::move(device), QStringLiteral("CDAudio"));
    prompts.whileShown = [&] {
        identification().checkCDPresent();
        identification().checkCDPresent(); // two events still make one re-check
    };
    identification().checkCDPresent();

    EXPECT_EQ(prompts.deepest, 1); // no check ran inside the box
    EXPECT_EQ(prompts.messageBoxes().size(), 2u);
    EXPECT_EQ(bad.opens, 2 * 11);
    EXPECT_EQ(shown(), noDisc());
}

TEST_F(CdIdentificationTest, WaitForTheLengthRunsOnlyWhileItIsZero)
{
    struct Case {
        int stepMs;
        int waitOpens;
    };
    for (const Case& c : {Case{500, 5}, Case{1000, 2}, Case{3000, 0}}) {
        SCOPED_TRACE(c.stepMs);
        useDiscs({fourTrackDisc()});
        clockStep_ = std::chrono::milliseconds(c.stepMs);
        auto device = std::make_unique<TracksWithoutLength>();
        TracksWithoutLength& bad = *device;
        rig().CDControl->setDevice(std::move(device), QStringLiteral("CDAudio"));
        EXPECT_EQ(identification().getStableCDLength(), 0);
        EXPECT_EQ(bad.opens, c.waitOpens);

        // With a length there is no wait and no re-open.
        bad.lengthFromOpen = 1;
        bad.opens = 1;
        EXPECT_EQ(identification().getStableCDLength(), 150000);
        EXPECT_EQ(bad.opens, 1);
        TearDown();
        SetUp();
    }
}

TEST_F(CdIdentificationTest, StatusTextsAreNeverStoredInARow)
{
    useDiscs({fourTrackDisc()});
    identification().checkCDPresent();
    const int CDid = rig().state().currentCDid;
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec("DELETE FROM CDs WHERE cdlen = 0 AND track1Len = 0"));

    eject('D');
    identification().checkCDPresent();
    ASSERT_FALSE(prompts_.messageBoxes().empty());
    EXPECT_TRUE(prompts_.messageBoxes().back().text.startsWith(
        "There is an error in your database file. It must contain a record with cdID=1. Please "
        "send e-mail to "));
    EXPECT_EQ(shown(), noDisc());
    EXPECT_EQ(count("CDs", QStringLiteral("CDid=%1 AND Title='CD Title'").arg(CDid)), 1);
    EXPECT_EQ(count("CDs", "Title LIKE '%No CD%' OR Title LIKE 'CD-ROM%'"), 0);
}

} // namespace

} // namespace lentaro::test
