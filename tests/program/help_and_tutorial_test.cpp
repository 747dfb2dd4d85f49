// Help and Tutorial on a fresh program folder: the start-up has copied the manual the build
// made into the folder, and F1 asks the desktop to open that copy.
#include "tests/program/program_fixture.h"

#include "app/shippedfiles.h"
#include "mainwindow/frmMain.h"
#include "tests/app/url_recorder.h"
#include "tests/program/person.h"

#include <QDir>
#include <QFile>

namespace lentaro::test {
namespace {

QByteArray contentsOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class HelpAndTutorial : public ProgramInUse
{};

TEST_F(HelpAndTutorial, F1OnAFreshInstallOpensTheShippedManualInThePdfViewer)
{
    const QString shipped = QDir(shippedFolder()).filePath(QStringLiteral("Lentaro Manual.pdf"));
    ASSERT_TRUE(contentsOf(shipped).startsWith("%PDF-")) << shipped.toStdString();
    UrlRecorder viewer;
    const ScopedOverride viewerInPlace(urlOpener, viewer);
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        {QStringLiteral("help"), [] { press(main(), Qt::Key_F1); },
         [&] { return !viewer.opened.isEmpty(); },
         [&] {
             const QString manual = path(QStringLiteral("Lentaro Manual.pdf"));
             EXPECT_EQ(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(manual)});
             EXPECT_EQ(contentsOf(manual), contentsOf(shipped));
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 1), 0);
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral(
                                   "No CD drive was found. Once one is connected, choose it in "
                                   "Settings with \"Choose/Change CD Drive\".")});
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
