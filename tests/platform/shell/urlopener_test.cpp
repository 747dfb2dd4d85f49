// The desktop's opener for a file says whether a program took it: it hands the file to xdg-open
// and reads its answer, without waiting for a program that xdg-open runs itself.
#include "platform/shell/urlopener.h"

#include "tests/support/qt_printers.h"
#include "tests/support/sanitizers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace lentaro {
namespace {

class DesktopOpener : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (test::underThreadSanitizer)
            GTEST_SKIP() << test::cannotStartPrograms;
        ASSERT_TRUE(bin_.isValid());
        path_ = qgetenv("PATH");
        qputenv("PATH", bin_.path().toUtf8());
        QFile file(bin_.filePath(QStringLiteral("score.mus")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        score_ = QUrl::fromLocalFile(file.fileName());
    }
    void TearDown() override
    {
        if (!path_.isNull())
            qputenv("PATH", path_);
    }

    // An xdg-open that does what the script says with the file it is given.
    void xdgOpen(const QByteArray& script)
    {
        QFile file(bin_.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script + "\n");
        file.close();
        ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QString handed() const
    {
        QFile file(bin_.filePath(QStringLiteral("handed")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

    int argc_ = 1;
    char name_[8] = "tests";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication application_{argc_, argv_};
    QTemporaryDir bin_;
    QByteArray path_;
    QUrl score_;
};

TEST_F(DesktopOpener, SaysWhetherAProgramTookTheFile)
{
    const struct {
        const char* name;
        QByteArray script;
        bool took;
    } answers[] = {
        {"a program took it", "echo \"$1\" > \"${0%/*}/handed\"; exit 0", true},
        {"no program for its kind", "echo \"$1\" > \"${0%/*}/handed\"; exit 3", false},
        {"the program failed to start", "echo \"$1\" > \"${0%/*}/handed\"; exit 4", false},
        // Without a desktop's own opener, xdg-open runs the program until it ends.
        {"it runs the program itself", "echo \"$1\" > \"${0%/*}/handed\"; exec /bin/sleep 60",
         true},
    };
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.name);
        QFile::remove(bin_.filePath(QStringLiteral("handed")));
        xdgOpen(answer.script);
        EXPECT_EQ(urlOpener().open(score_), answer.took);
        EXPECT_EQ(handed(), score_.toLocalFile());
    }
}

} // namespace
} // namespace lentaro
