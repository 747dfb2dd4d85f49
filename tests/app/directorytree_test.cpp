#include "tests/app/app_fixture.h"

#include "app/directorytree.h"
#include "trace/runtimeerror.h"

#include <filesystem>
#include <fstream>

namespace lentaro::test {
namespace {

namespace fs = std::filesystem;

class DeleteDirectoryTree : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        root = fs::path(home().toStdString());
    }

    static void touch(const fs::path& file)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }

    static QString text(const fs::path& path) { return QString::fromStdString(path.string()); }

    fs::path root;
};

TEST_F(DeleteDirectoryTree, RemovesEverythingIncludingASubfolderNamedLikeItsParent)
{
    const fs::path tree = root / "drivers";
    touch(tree / "a.bat");
    touch(tree / ".hidden");
    touch(tree / "drivers" / "inner.sys");
    touch(tree / "drivers" / "drivers" / "deep.sys");
    touch(tree / "x" / "y" / "z.txt");
    fs::create_directories(tree / "empty");

    QString path = text(tree) + QLatin1Char('/');
    deleteDirectoryTree(path);
    EXPECT_EQ(path, text(tree)); // the caller's variable loses its trailing slash
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
    EXPECT_TRUE(fs::exists(root));
}

TEST_F(DeleteDirectoryTree, NeverFollowsASymbolicLinkOutOfTheTree)
{
    const fs::path outside = root / "music";
    touch(outside / "keep.wav");
    const fs::path tree = root / "work";
    touch(tree / "temp.wav");
    fs::create_directory_symlink(outside, tree / "music-link");
    fs::create_symlink(outside / "keep.wav", tree / "file-link");
    fs::create_symlink(root / "nowhere", tree / "dangling");

    QString path = text(tree);
    deleteDirectoryTree(path);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
    EXPECT_TRUE(fs::exists(outside / "keep.wav"));

    // A link given as the tree itself goes as a link.
    const fs::path link = root / "link";
    fs::create_directory_symlink(outside, link);
    path = text(link);
    deleteDirectoryTree(path);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_TRUE(fs::exists(outside / "keep.wav"));
}

TEST_F(DeleteDirectoryTree, AMissingFolderIsNothingAndAFileIsAnError)
{
    QString missing = text(root / "missing");
    EXPECT_NO_THROW(deleteDirectoryTree(missing));
    QString slash = QStringLiteral("/");
    EXPECT_NO_THROW(deleteDirectoryTree(slash));
    EXPECT_TRUE(slash.isEmpty());

    const fs::path file = root / "file.txt";
    touch(file);
    QString path = text(file);
    try {
        deleteDirectoryTree(path);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 76);
    }
    EXPECT_TRUE(fs::exists(file));
}

} // namespace
} // namespace lentaro::test
