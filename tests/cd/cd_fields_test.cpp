#include "tests/cd/cd_shown_rig_fixture.h"

#include "app/programstate.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/app/url_recorder.h"

#include <QAction>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace lentaro::test {

namespace {

using namespace std::chrono_literals;

class CdFieldsTest : public CdShownRigTest
{
protected:
    QString discField(const char* field)
    {
        QSqlQuery query(db());
        query.exec(QStringLiteral("SELECT %1 FROM CDs WHERE CDid=%2")
                       .arg(QLatin1String(field))
                       .arg(rig().state().currentCDid));
        return query.next() ? query.value(0).toString() : QStringLiteral("no row");
    }
    void linkTrack1(const QVariant& notation)
    {
        QSqlQuery query(db());
        query.prepare(QStringLiteral("UPDATE Tracks SET Notation=? WHERE CDid=? AND TrackNum=1"));
        query.addBindValue(notation);
        query.addBindValue(rig().state().currentCDid);
        ASSERT_TRUE(query.exec());
        side().refreshDisplayForNewCD();
        ASSERT_EQ(gridTrack(), 1);
    }
    void rightClickGrid()
    {
        QTableView& grid = *rig().tgTracks;
        emit grid.customContextMenuRequested(grid.visualRect(cellOf(1, "TrackName")).center());
    }
};

TEST_F(CdFieldsTest, TheCaptionFollowsTheTitleAtEveryKeyAndTheTitleIsStoredOnLeaving)
{
    showDiscs({fourTrackDisc()});
    QLineEdit& title = *rig().CDTitle;
    QStringList captions;
    QObject::connect(&rig(), &QWidget::windowTitleChanged,
                     [&captions](const QString& caption) { captions << caption; });

    title.selectAll();
    QTest::keyClick(&title, Qt::Key_Backspace);
    QTest::keyClicks(&title, QStringLiteral("Ab"));
    QTest::keyClick(&title, Qt::Key_Return);

    EXPECT_EQ(captions, (QStringList{"Lentaro: ", "Lentaro: A", "Lentaro: Ab"}));
    EXPECT_EQ(discField("Title"), QStringLiteral("Ab"));
}

TEST_F(CdFieldsTest, TheArtistTypedIsStoredAndAStatusTextNever)
{
    showDiscs({fourTrackDisc()});
    QTest::keyClicks(rig().Artist, QStringLiteral("Nina"));
    rig().Artist->setText(QStringLiteral("shown, not typed"));
    QTest::keyClick(rig().Artist, Qt::Key_Return);
    EXPECT_EQ(discField("Artist"), QStringLiteral("Artist"));

    QTest::keyClicks(rig().Artist, QStringLiteral(" Simone"));
    QTest::keyClick(rig().Artist, Qt::Key_Return);
    EXPECT_EQ(discField("Artist"), QStringLiteral("shown, not typed Simone"));
}

TEST_F(CdFieldsTest, ATitleTheDatabaseRefusesShowsTheCdsDataError)
{
    showDiscs({fourTrackDisc()});
    QSqlQuery(db()).exec(QStringLiteral("PRAGMA query_only = 1"));

    QTest::keyClicks(rig().CDTitle, QStringLiteral(" 2"));
    QTest::keyClick(rig().CDTitle, Qt::Key_Return);

    EXPECT_EQ(discField("Title"), QStringLiteral("CD Title"));
    EXPECT_EQ(shownMessages(),
              QStringList{QStringLiteral("Please inform programmer that there has been a data "
                                         "error 3146 in the CDs control (send e-mail to "
                                         "support@lentaro.org)")});
}

struct ArtistCase {
    const char* text;
    const char* selected;
};

class ArtistOnEntering : public CdFieldsTest, public ::testing::WithParamInterface<ArtistCase>
{};

TEST_P(ArtistOnEntering, SelectsOnlyThePlaceholder)
{
    showDiscs({fourTrackDisc()});
    QLineEdit& artist = *rig().Artist;
    artist.setText(QLatin1String(GetParam().text));
    QFocusEvent entering(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(&artist, &entering);
    EXPECT_EQ(artist.selectedText(), QLatin1String(GetParam().selected));
}

INSTANTIATE_TEST_SUITE_P(Fields, ArtistOnEntering,
                         ::testing::Values(ArtistCase{"Artist", "Artist"},
                                           ArtistCase{"ARTIST", "ARTIST"},
                                           ArtistCase{"Artists", ""}, ArtistCase{"", ""}));

TEST_F(CdFieldsTest, ARightClickExplainsTheFieldAndALeftClickNot)
{
    showDiscs({fourTrackDisc()});
    for (QLineEdit* field : {rig().Artist, rig().CDTitle, rig().Comments})
        QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_TRUE(shownMessages().isEmpty());

    for (QLineEdit* field : {rig().Artist, rig().CDTitle, rig().Comments})
        emit field->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(shownMessages(),
              (QStringList{"Displays the artist for the CD currently in the drive. Not editable "
                           "if no CD is present",
                           "Displays the title of the CD currently in the drive. Not editable if "
                           "no CD is present",
                           "Use this space to enter comments as long as you like about the track "
                           "currently selected in the Tracks list."}));
}

TEST_F(CdFieldsTest, CommentsBelongToTheRowTheyWereTypedForAndHoldTheGridStill)
{
    showDiscs({fourTrackDisc()});
    rig().tgTracks->setCurrentIndex(cellOf(2, "TrackName"));
    ASSERT_EQ(rig().lblTrackComments->text(), QStringLiteral("Track 2 Comments"));
    typedAgo(1min);
    QTest::keyClicks(rig().Comments, QStringLiteral("slow bridge"));
    EXPECT_FALSE(side().trackHighlighting());
    rig().now += 10s + 1ms;
    EXPECT_TRUE(side().trackHighlighting());

    // The grid moves on while the comment is still in the field.
    side().switchToTrack(3);

    EXPECT_EQ(storedTrackField(2, "Comments").toString(), QStringLiteral("slow bridge"));
    EXPECT_EQ(rig().Comments->text(), QString());
    EXPECT_EQ(rig().lblTrackComments->text(), QStringLiteral("Track 3 Comments"));
    rig().tgTracks->setCurrentIndex(cellOf(2, "TrackName"));
    EXPECT_EQ(rig().Comments->text(), QStringLiteral("slow bridge"));
}

TEST_F(CdFieldsTest, CommentsTypedWhenAnotherDiscArrivesStayWithTheirDisc)
{
    showDiscs({fourTrackDisc(), audioDisc(20)});
    const int first = rig().state().currentCDid;
    rig().tgTracks->setCurrentIndex(cellOf(2, "TrackName"));
    QTest::keyClicks(rig().Comments, QStringLiteral("coda"));

    useDrive('E');
    side().checkCDPresent();

    ASSERT_NE(rig().state().currentCDid, first);
    EXPECT_EQ(
        count("Tracks", QStringLiteral("CDid=%1 AND TrackNum=2 AND Comments='coda'").arg(first)),
        1);
    EXPECT_EQ(count("Tracks", QStringLiteral("Comments='coda'")), 1);
    EXPECT_EQ(rig().Comments->text(), QString());
}

// The title, the artist or a track name typed and not left (the transport buttons take no
// focus): the disc's change stores it before it shows another disc or none.
TEST_F(CdFieldsTest, WhatWasTypedIsStoredBeforeTheDiscChangeRewritesTheFields)
{
    struct Typing {
        const char* name;
        std::function<void()> type;
        const char* stored; // table and condition, %1 the disc's CDid
    };
    const auto intoField = [this](QLineEdit* field, const char* text) {
        rig().activateWindow();
        QTest::mouseClick(field, Qt::LeftButton);
        field->selectAll();
        QTest::keyClicks(field, QLatin1String(text));
    };
    const Typing typings[] = {
        {"Title", [&] { intoField(rig().CDTitle, "Blue Album"); },
         "CDs|CDid=%1 AND Title='Blue Album'"},
        {"Artist", [&] { intoField(rig().Artist, "Nina"); }, "CDs|CDid=%1 AND Artist='Nina'"},
        {"TrackName",
         [this] {
             click(cellOf(3, "TrackName"));
             QTest::keyClicks(rig().tgTracks, QStringLiteral("B"));
             auto* editor = rig().tgTracks->viewport()->findChild<QLineEdit*>();
             ASSERT_NE(editor, nullptr);
             QTest::keyClicks(editor, QStringLiteral("ridge"));
         },
         "Tracks|CDid=%1 AND TrackNum=3 AND TrackName='Bridge'"},
    };
    struct Change {
        const char* name;
        std::function<void()> change;
    };
    const Change changes[] = {
        {"EjectedByItsButton",
         [this] {
             QTest::mouseClick(rig().CDControl->bar()->button(mci::Button::Eject), Qt::LeftButton);
             discChanges_.remove('D');
         }},
        {"AnotherDiscInAnotherDrive",
         [this] {
             useDrive('E');
             side().checkCDPresent();
         }},
    };
    for (const Typing& typing : typings) {
        for (const Change& c : changes) {
            SCOPED_TRACE(std::string(typing.name) + " " + c.name);
            showDiscs({fourTrackDisc(), audioDisc(20)});
            const int CDid = rig().state().currentCDid;
            typing.type();

            c.change();

            ASSERT_NE(rig().state().currentCDid, CDid);
            const QStringList stored = QString::fromLatin1(typing.stored).split('|');
            EXPECT_EQ(count(stored[0], stored[1].arg(CDid)), 1);
            EXPECT_EQ(trappedError(), 0);
            TearDown();
            SetUp();
        }
    }
}

// With no disc nothing typed into the title, artist or comments goes into the "No CD" row or
// vanishes later: the fields take no typing then, and take it again once a disc is back.
TEST_F(CdFieldsTest, WithNoDiscTheFieldsTakeNoTyping)
{
    showDiscs({fourTrackDisc()});
    eject('D');
    discChanges_.remove('D');
    ASSERT_EQ(rig().pnlMsg->text(), QStringLiteral("No CD in drive"));
    const QStringList noCdRow = [this] {
        QSqlQuery query(db());
        query.exec("SELECT Title, Artist FROM CDs WHERE CDid=1");
        return query.next() ? QStringList{query.value(0).toString(), query.value(1).toString()}
                            : QStringList();
    }();

    for (QLineEdit* field : {rig().CDTitle, rig().Artist, rig().Comments}) {
        const QString before = field->text();
        rig().activateWindow();
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClicks(field, QStringLiteral("typed"));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(field->text(), before) << field->objectName().toStdString();
    }
    QSqlQuery query(db());
    query.exec("SELECT Title, Artist FROM CDs WHERE CDid=1");
    ASSERT_TRUE(query.next());
    EXPECT_EQ((QStringList{query.value(0).toString(), query.value(1).toString()}), noCdRow);
    EXPECT_EQ(count("Tracks", "Comments LIKE '%typed%'"), 0);

    insert('D');
    discChanges_.arrive('D');
    EXPECT_FALSE(rig().CDTitle->isReadOnly());
    EXPECT_FALSE(rig().Artist->isReadOnly());
    // The comments are a track's: once one is chosen.
    click(cellOf(2, "TrackName"));
    EXPECT_FALSE(rig().Comments->isReadOnly());
}

struct MenuCase {
    const char* name;
    std::optional<const char*> notation;
    int recordMode;
    bool changeEnabled;
    const char* openCaption;
    bool digitalEnabled;
};

void PrintTo(const MenuCase& c, std::ostream* out)
{
    *out << c.name;
}

class TrackMenu : public CdFieldsTest, public ::testing::WithParamInterface<MenuCase>
{};

TEST_P(TrackMenu, ShowsTheLinkAndWhatCanBeDone)
{
    const MenuCase& c = GetParam();
    showDiscs({fourTrackDisc()});
    linkTrack1(c.notation ? QVariant(QString::fromUtf8(*c.notation)) : QVariant());
    programState().gvRecordMode = c.recordMode;

    rightClickGrid();

    EXPECT_TRUE(rig().mnuTrackGridPopup->isVisible());
    EXPECT_EQ(rig().mnuChangeNotationFile->isEnabled(), c.changeEnabled);
    EXPECT_EQ(rig().mnuOpenNotationFile->text(), QString::fromUtf8(c.openCaption));
    EXPECT_EQ(rig().mnuDigitalRec->isEnabled(), c.digitalEnabled);
    QStringList items;
    for (QAction* item : rig().mnuTrackGridPopup->actions())
        items << item->text();
    EXPECT_EQ(items, (QStringList{"Make a &Loop for this track", QString::fromUtf8(c.openCaption),
                                  "&Change notation file", "&Record Digitally to Hard Disk",
                                  "View &Help for the Tracks grid"}));
    rig().mnuTrackGridPopup->hide();
}

INSTANTIATE_TEST_SUITE_P(Grid, TrackMenu,
                         ::testing::Values(MenuCase{"NoLinkDigital", std::nullopt, 1, false,
                                                    "Open notation/sequencer file", true},
                                           MenuCase{"EmptyLinkAnalog", "", 2, false,
                                                    "Open notation/sequencer file", false},
                                           MenuCase{"LinkedAnalog", "/music/blue moon.mid", 2, true,
                                                    "Open /music/blue moon.mid", false},
                                           MenuCase{"LinkWithAnAmpersandShowsIt",
                                                    "/music/rock & roll.mid", 1, true,
                                                    "Open /music/rock && roll.mid", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The menu's digital copy is the CD side's: without digital reading it says so and copies nothing.
TEST_F(CdFieldsTest, RecordDigitallyReachesTheTrackCopy)
{
    showDiscs({fourTrackDisc()});
    programState().gvDigitalRecordingOK = false;
    rig().mnuDigitalRec->trigger();
    EXPECT_EQ(shownMessages(),
              QStringList{"At this time, digital recording only works under Windows 9x. Sorry"});
    EXPECT_TRUE(prompts_.fileDialogs().empty());
}

enum class Action { Open, Change };

struct NotationCase {
    const char* name;
    std::optional<const char*> linked; // a name in the test's folder
    Action action;
    std::optional<std::optional<const char*>> dialog; // none: no dialog expected; inner: cancel
    std::optional<const char*> opened;
    std::optional<const char*> linkAfter;
};

void PrintTo(const NotationCase& c, std::ostream* out)
{
    *out << c.name;
}

// Notation files in the test's folder; the desktop's opening of files recorded.
class NotationFileTest : public CdFieldsTest
{
protected:
    QString inFolder(const char* name)
    {
        return home() + QStringLiteral("/") + QString::fromUtf8(name);
    }
    UrlRecorder desktop_;
    ScopedOverride<UrlOpener> desktopInPlace_{urlOpener, desktop_};
};

class NotationFile : public NotationFileTest, public ::testing::WithParamInterface<NotationCase>
{};

TEST_P(NotationFile, OpensOnlyAnExistingFileAndLinksOnlyAChosenOne)
{
    const NotationCase& c = GetParam();
    showDiscs({fourTrackDisc()});
    QDir(home()).mkdir(QStringLiteral("scores"));
    for (const char* existing : {"a.mid", "b.sib", "we ird 'x';\"y\" & $z.mid"})
        writeFile(QString::fromUtf8(existing), "notes");
    linkTrack1(c.linked ? QVariant(inFolder(*c.linked)) : QVariant());
    if (c.dialog)
        prompts_.queueFile(*c.dialog ? std::optional<QString>(inFolder(**c.dialog)) : std::nullopt);

    (c.action == Action::Open ? rig().mnuOpenNotationFile : rig().mnuChangeNotationFile)->trigger();

    ASSERT_EQ(prompts_.fileDialogs().size(), c.dialog ? 1u : 0u);
    if (c.dialog) {
        EXPECT_EQ(prompts_.fileDialogs()[0].caption,
                  QStringLiteral("Locate an existing notation file for this track"));
    }
    EXPECT_EQ(desktop_.opened,
              c.opened ? QList<QUrl>{QUrl::fromLocalFile(inFolder(*c.opened))} : QList<QUrl>{});
    const QVariant link = storedTrackField(1, "Notation");
    if (c.linkAfter)
        EXPECT_EQ(link.toString(), inFolder(*c.linkAfter));
    else
        EXPECT_TRUE(link.isNull()) << link.toString().toStdString();
    EXPECT_TRUE(shownMessages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    TrackMenu, NotationFile,
    ::testing::Values(
        NotationCase{
            "OpenAsksWhenNoneIsLinked", std::nullopt, Action::Open, {{"a.mid"}}, "a.mid", "a.mid"},
        NotationCase{"OpenCancelledLinksNothing",
                     std::nullopt,
                     Action::Open,
                     {std::optional<const char*>()},
                     std::nullopt,
                     std::nullopt},
        NotationCase{"OpenOpensTheLinkedFile", "b.sib", Action::Open, std::nullopt, "b.sib",
                     "b.sib"},
        NotationCase{"AnOddNameOpensThatFile",
                     std::nullopt,
                     Action::Open,
                     {{"we ird 'x';\"y\" & $z.mid"}},
                     "we ird 'x';\"y\" & $z.mid",
                     "we ird 'x';\"y\" & $z.mid"},
        NotationCase{"ChangeCancelledKeepsTheLink",
                     "a.mid",
                     Action::Change,
                     {std::optional<const char*>()},
                     std::nullopt,
                     "a.mid"},
        NotationCase{"ChangeOpensAndLinksTheNewFile",
                     "a.mid",
                     Action::Change,
                     {{"b.sib"}},
                     "b.sib",
                     "b.sib"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NotationFileTest, AFileThatIsNotThereIsSaidToBeGoneAndAnotherMayBeLinked)
{
    struct Case {
        const char* name;
        const char* linked; // moved away, or a folder where the file was
        forms::Answer answer;
        std::optional<const char*> chosen; // the dialog's answer; none: no dialog expected
        const char* linkAfter;
    };
    const Case cases[] = {
        {"No keeps the link", "gone.mid", forms::Answer::No, std::nullopt, "gone.mid"},
        {"Yes, cancelled, keeps the link", "gone.mid", forms::Answer::Yes, {nullptr}, "gone.mid"},
        {"Yes links and opens another", "gone.mid", forms::Answer::Yes, {"b.sib"}, "b.sib"},
        {"a folder is no file", "scores", forms::Answer::Yes, {"b.sib"}, "b.sib"},
    };
    showDiscs({fourTrackDisc()});
    QDir(home()).mkdir(QStringLiteral("scores"));
    writeFile(QStringLiteral("b.sib"), "notes");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        desktop_.opened.clear();
        linkTrack1(inFolder(c.linked));
        prompts_.queueAnswer(c.answer);
        if (c.chosen)
            prompts_.queueFile(*c.chosen ? std::optional<QString>(inFolder(*c.chosen))
                                         : std::nullopt);
        rightClickGrid();
        rig().mnuOpenNotationFile->trigger();
        rig().mnuTrackGridPopup->hide();

        ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
        EXPECT_EQ(prompts_.messageBoxes()[0].text,
                  QStringLiteral("The notation file ") + inFolder(c.linked)
                      + QStringLiteral(" is not there: it may have been moved or deleted.\r\n\r\n"
                                       "Do you want to link another file to this track?"));
        EXPECT_EQ(prompts_.fileDialogs().size(), c.chosen ? 1u : 0u);
        EXPECT_EQ(prompts_.pendingAnswers(), 0u);
        const bool another = c.chosen && *c.chosen;
        EXPECT_EQ(desktop_.opened,
                  another ? QList<QUrl>{QUrl::fromLocalFile(inFolder(*c.chosen))} : QList<QUrl>{});
        EXPECT_EQ(storedTrackField(1, "Notation").toString(), inFolder(c.linkAfter));
    }
}

TEST_F(CdFieldsTest, AChangeTheDatabaseRefusesKeepsTheLink)
{
    showDiscs({fourTrackDisc()});
    linkTrack1(QStringLiteral("/music/a.mid"));
    QSqlQuery(db()).exec(QStringLiteral("PRAGMA query_only = 1"));
    prompts_.queueFile(QStringLiteral("/music/b.mid"));

    rig().mnuChangeNotationFile->trigger();

    EXPECT_EQ(storedTrackField(1, "Notation").toString(), QStringLiteral("/music/a.mid"));
    rightClickGrid();
    EXPECT_EQ(rig().mnuOpenNotationFile->text(), QStringLiteral("Open /music/a.mid"));
    rig().mnuTrackGridPopup->hide();
    EXPECT_EQ(shownMessages(),
              QStringList{QStringLiteral("Please inform programmer that there has been a data "
                                         "error 3146 in the Tracks control (send e-mail to "
                                         "support@lentaro.org)")});
}

TEST_F(CdFieldsTest, TheGridsHelpSaysHowToNameAndPlayTracks)
{
    showDiscs({fourTrackDisc()});
    rig().mnuViewHelpTracksGrid->trigger();
    EXPECT_EQ(shownMessages(),
              QStringList{QStringLiteral(
                  "Shows the track names for this CD.\n\nDouble-clicking in the left column "
                  "starts playback at that track.\n\nTo type in a track name, simply select the "
                  "track and start typing. The name will be saved when you click on a different "
                  "cell or field.\n")});
}

} // namespace

} // namespace lentaro::test
