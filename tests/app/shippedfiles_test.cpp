#include "tests/app/app_fixture.h"
#include "tests/app/test_database.h"

#include "app/shippedfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace lentaro::test {
namespace {

class ShippedFiles : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(shipped_.isValid());
        put("lentaro.mdb", "template");
        put("layouts/smallvw.grx", "layout");
        // An installed file is often read-only; its copy must still be writable.
        QFile::setPermissions(shipped_.filePath("lentaro.mdb"), QFileDevice::ReadOwner);
    }

    void put(const QString& name, const QByteArray& bytes)
    {
        const QString file = shipped_.filePath(name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    QStringList filesInHome() const
    {
        QStringList files;
        QDirIterator it(home(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(home()).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    QTemporaryDir shipped_;
};

TEST_F(ShippedFiles, CopiesWhatTheProgramFolderLacks)
{
    ASSERT_TRUE(copyShippedFiles(shipped_.path(), home()));
    EXPECT_EQ(filesInHome(), (QStringList{"layouts/smallvw.grx", "lentaro.mdb"}));
    EXPECT_EQ(readFile("lentaro.mdb"), "template");
    EXPECT_EQ(readFile("layouts/smallvw.grx"), "layout");
    EXPECT_TRUE(QFile::permissions(path("lentaro.mdb")) & QFileDevice::WriteOwner);
}

TEST_F(ShippedFiles, NeverReplacesAFileThatIsThere)
{
    writeFile("lentaro.mdb", "the user's own database");
    ASSERT_TRUE(copyShippedFiles(shipped_.path(), home()));
    EXPECT_EQ(readFile("lentaro.mdb"), "the user's own database");
    EXPECT_EQ(readFile("layouts/smallvw.grx"), "layout");
    EXPECT_EQ(filesInHome(), (QStringList{"layouts/smallvw.grx", "lentaro.mdb"}));
}

// An upgrade brings its own manual; what the user keeps in the folder stays theirs.
TEST_F(ShippedFiles, AnEarlierBuildsManualIsReplacedAndNothingElse)
{
    put("Lentaro Manual.pdf", "this build's manual");
    writeFile("lentaro.mdb", "the user's own database");
    writeFile("Lentaro Manual.pdf", "an earlier build's manual");
    ASSERT_TRUE(copyShippedFiles(shipped_.path(), home()));
    EXPECT_EQ(readFile("Lentaro Manual.pdf"), "this build's manual");
    EXPECT_EQ(readFile("lentaro.mdb"), "the user's own database");
    EXPECT_EQ(filesInHome(),
              (QStringList{"Lentaro Manual.pdf", "layouts/smallvw.grx", "lentaro.mdb"}));
}

TEST_F(ShippedFiles, MissingShippedFolderIsAnError)
{
    const QString nowhere = shipped_.filePath("nowhere");
    EXPECT_FALSE(copyShippedFiles(nowhere, home()));
    EXPECT_EQ(lastError().number, 76);
    EXPECT_TRUE(filesInHome().isEmpty());
}

TEST_F(ShippedFiles, TheBuildsTemplateReachesTheProgramFolderByDefault)
{
    ASSERT_TRUE(copyShippedFiles());
    QFile shippedTemplate(shippedFolder() + "/lentaro.mdb");
    ASSERT_TRUE(shippedTemplate.open(QIODevice::ReadOnly));
    EXPECT_EQ(readFile("lentaro.mdb"), shippedTemplate.readAll());
}

} // namespace
} // namespace lentaro::test
