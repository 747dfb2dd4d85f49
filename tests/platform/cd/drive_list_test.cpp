#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"

#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/cd/support/cd_test_support.h"

#include <gtest/gtest.h>

#include <stdlib.h>

namespace lentaro::cd::test {
namespace {

std::vector<std::unique_ptr<Drive>> imageDrives(int count)
{
    std::vector<std::unique_ptr<Drive>> drives;
    for (int index = 0; index < count; ++index)
        drives.push_back(
            std::make_unique<ImageDrive>("/nowhere/disc" + std::to_string(index) + ".cue"));
    return drives;
}

TEST(DriveList, LettersRunFromDInTheOrderGivenAndNumbersFollowThem)
{
    DriveList drives(imageDrives(3));
    ScopedOverride inPlace(cdDrives, drives);

    EXPECT_EQ(drives.letters(), "DEF");
    EXPECT_EQ(driveLetters(), "DEF");
    EXPECT_EQ(drives.drive(2), drives.drive('E'));
    EXPECT_EQ(drives.drive('e'), drives.drive('E'));
    EXPECT_EQ(drives.drive(2)->path(), "/nowhere/disc1.cue");
    EXPECT_EQ(drives.drive(2)->name(), "CD drive E:");
    for (const char missing : {'C', 'G', 'Z', '?'})
        EXPECT_EQ(drives.drive(missing), nullptr) << missing;

    const struct {
        int n;
        const char* letter;
    } nth[] = {{1, "D"}, {2, "E"}, {3, "F"}, {4, ""}, {0, ""}, {-1, ""}};
    for (const auto& example : nth)
        EXPECT_EQ(nthDriveLetter(example.n), example.letter) << example.n;
}

TEST(DriveList, WithoutDrivesThereAreNoLetters)
{
    DriveList none;
    ScopedOverride inPlace(cdDrives, none);

    EXPECT_EQ(driveLetters(), "");
    EXPECT_EQ(nthDriveLetter(1), "");
}

TEST(DriveList, LettersEndAtZ)
{
    RecordingCdLog log;
    DriveList drives(imageDrives(25));

    EXPECT_EQ(drives.count(), 23);
    EXPECT_EQ(drives.letters().back(), 'Z');
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("/nowhere/disc23.cue"), std::string::npos) << log.lines()[0];
}

TEST(DriveList, ImagePathsComeFromTheVariableInOrderAndAbsolute)
{
    const fs::path here = fs::current_path();
    EXPECT_EQ(imagePaths("a.cue::/discs/b.cue:"),
              (std::vector<std::string>{(here / "a.cue").string(), "/discs/b.cue"}));
    EXPECT_TRUE(imagePaths(nullptr).empty());
    EXPECT_TRUE(imagePaths("").empty());
}

TEST(DriveList, ThisMachinesListEndsWithTheImagesOfTheVariable)
{
    TempFolder folder;
    const fs::path first = writeImage(folder.path(), "first", {{{75, 0, false}}, {}, {}, {}});
    const fs::path second = folder.path() / "second.cue"; // an empty drive until it appears
    ::setenv("LENTARO_CD_IMAGES", (first.string() + ":" + second.string()).c_str(), 1);

    DriveList& drives = cdDrives();
    ::unsetenv("LENTARO_CD_IMAGES");

    ASSERT_GE(drives.count(), 2);
    Drive& firstImage = *drives.drive(drives.count() - 1);
    Drive& secondImage = *drives.drive(drives.count());
    EXPECT_EQ(firstImage.path(), first.string());
    EXPECT_EQ(secondImage.path(), second.string());
    EXPECT_TRUE(firstImage.discPresent());
    EXPECT_FALSE(secondImage.discPresent());
    EXPECT_EQ(nthDriveLetter(drives.count()), std::string(1, secondImage.letter()));
    EXPECT_EQ(&cdDrives(), &drives) << "the list is made once for the run";
}

} // namespace
} // namespace lentaro::cd::test
