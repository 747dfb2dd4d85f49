#include "tests/mainwindow/wave_window_fixture.h"

#include "platform/mci/MMControl.h"
#include "platform/registry/Settings.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QPointer>

namespace lentaro::test {
namespace {

class RecentFiles : public WaveWindowTest
{
protected:
    static void store(const QStringList& keys)
    {
        for (int i = 0; i < keys.size(); ++i)
            registry::saveSetting("Lentaro", "Recent Files", std::to_string(i + 1),
                                  keys[i].toStdString());
    }
    // Keys "1".."4"; "-" for a missing one.
    static QStringList stored()
    {
        QStringList keys;
        for (int i = 1; i <= 4; ++i)
            keys << QString::fromStdString(
                registry::getSetting("Lentaro", "Recent Files", std::to_string(i), "-"));
        return keys;
    }
    static QStringList listed(frmMain& main)
    {
        QStringList items;
        for (int i = 1; i <= 4; ++i) {
            if (!control<QAction>(
                     main, QStringLiteral("mnuMRU(%1)").arg((static_cast<std::size_t>(i - 1)) + 1))
                     ->isVisible())
                break;
            items << main.mruPath(i);
        }
        return items;
    }
    void restart()
    {
        QPointer<frmMain> old(main_);
        delete old;
        deleteUnloaded();
    }
};

// Adding to the list: the newest first, each path once, only wave files, what is stored
// matching what is listed.
TEST_F(RecentFiles, AddingPutsTheFileFirstOnceAndStoresTheList)
{
    struct Case {
        const char* name;
        QStringList before;
        QString added;
        QStringList after;
    };
    const Case cases[] = {
        {"a fifth drops the oldest",
         {"/A.wav", "/B.wav", "/C.wav", "/D.wav"},
         "/E.wav",
         {"/E.wav", "/A.wav", "/B.wav", "/C.wav"}},
        {"one listed moves up",
         {"/A.wav", "/B.wav", "/C.wav", "/D.wav"},
         "/C.wav",
         {"/C.wav", "/A.wav", "/B.wav", "/D.wav"}},
        {"another letter case is another file",
         {"/music/A.wav"},
         "/music/a.WAV",
         {"/music/a.WAV", "/music/A.wav"}},
        {"an mp3 is not listed", {"/A.wav"}, "/song.mp3", {"/A.wav"}},
        {"nor a name without extension", {"/A.wav"}, "/song", {"/A.wav"}},
        {"the first file", {}, "/A.wav", {"/A.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        registry::deleteSetting("Lentaro", "Recent Files");
        store(c.before);
        frmMain& main = load();
        main.addToMRUs(c.added);
        EXPECT_EQ(listed(main), c.after);
        QStringList keys = c.after;
        while (keys.size() < 4)
            keys << "-";
        EXPECT_EQ(stored(), keys);
        EXPECT_TRUE(control<QAction>(main, "mnuMRUsep")->isVisible());
        restart();
    }
}

TEST_F(RecentFiles, AnEmptyListShowsNoItemsAndNoSeparator)
{
    frmMain& main = load();
    EXPECT_EQ(listed(main), QStringList());
    EXPECT_FALSE(control<QAction>(main, "mnuMRUsep")->isVisible());
    for (int item = 1; item <= 4; ++item)
        EXPECT_FALSE(control<QAction>(main, QStringLiteral("mnuMRU(%1)").arg(item))->isVisible());
}

// A damaged store with a gap and a repeat lists each path once, and the next store leaves no
// key that could bring the repeat back.
TEST_F(RecentFiles, AGapOrARepeatInTheStoreComesBackNeither)
{
    store({"/A.wav", "", "/A.wav", "/B.wav"});
    frmMain& main = load();
    EXPECT_EQ(listed(main), (QStringList{"/A.wav", "/B.wav"}));
    main.addToMRUs(QStringLiteral("/C.wav"));
    EXPECT_EQ(stored(), (QStringList{"/C.wav", "/A.wav", "/B.wav", "-"}));
}

// Choosing an item opens its file in the "Wave" view and leaves the order; a path with "&" is
// shown as it is and opened from the path itself. The list is there again after a restart.
TEST_F(RecentFiles, ChoosingAnItemOpensItsFileAndTheListOutlivesTheWindow)
{
    const QString third = secondsWave(path(QStringLiteral("rock & roll/third.wav")), 1);
    const QStringList list{path("first.wav"), path("second.wav"), third, path("fourth.wav")};
    store(list);
    {
        frmMain& main = started();
        EXPECT_EQ(control<QAction>(main, "mnuMRU(3)")->text(), QString(third).replace("&", "&&"));
        control<QAction>(main, "mnuMRU(3)")->trigger();
        EXPECT_FALSE(main.state().cdView);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->fileName(), third);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->mode(),
                  static_cast<int>(mci::Mode::Stopped));
        EXPECT_EQ(main.windowTitle(), QStringLiteral("Lentaro: ") + third);
        EXPECT_EQ(listed(main), list);
        restart();
    }
    frmMain& again = load();
    EXPECT_EQ(listed(again), list);
}

} // namespace
} // namespace lentaro::test
