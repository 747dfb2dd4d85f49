#include "trace/errortexts.h"

#include <gtest/gtest.h>

#include <climits>

namespace lentaro {
namespace {

struct CategoryCase {
    std::int32_t number;
    std::int16_t code;
};

TEST(ErrorCategory, FirstMatchingRuleGivesTheCode)
{
    const CategoryCase cases[] = {
        {70, 60}, // network, before the file-system range that also holds it
        {71, 3},     {336, 6},      {708, 3},          {709, 12},   {785, 12},   {3021, 54},
        {3463, 63}, // replication, before data access
        {3462, 54},  {3464, 15},    {3006, 59},        {32700, 14}, {32760, 47}, {32767, 14},
        {31999, 14}, {40000, 65},   {40516, 66},       {35618, 64}, {50000, 15}, {0, 15},
        {3, 2},      {46, 2},       {47, 3},           {454, 2},    {91, 4},     {95, 4},
        {280, 5},    {260, 6},      {400, 7},          {426, 7},    {420, 8},    {429, 13},
        {458, 13},   {520, 9},      {485, 10},         {483, 11},   {457, 46},   {646, 46},
        {2420, 54},  {30019, 45},   {32015, 45},       {31005, 15}, {31039, 57}, {24574, 47},
        {-5, 62},    {INT_MIN, 62}, {-2147221503, 62},
    };
    for (const CategoryCase& c : cases)
        EXPECT_EQ(pfErrorCategory(c.number), c.code) << "error " << c.number;
}

TEST(ErrorCategory, TextsOfCodes)
{
    EXPECT_EQ(pfCategoryText(pfErrorCategory(70)), "Network ");
    EXPECT_EQ(pfCategoryText(pfErrorCategory(32760)), "Common Dialog");
    EXPECT_EQ(pfCategoryText(pfErrorCategory(32700)), "Custom Control or user defined");
    EXPECT_EQ(pfCategoryText(pfErrorCategory(50000)), "User defined ");
    EXPECT_EQ(pfCategoryText(pfErrorCategory(-5)), "Remote OLE Automation");
    EXPECT_EQ(pfCategoryText(3), "File System (disk, directory or file) access");
    EXPECT_EQ(pfCategoryText(4), "Non-initialzed object or variant");
    for (std::int16_t unknown : {0, 1, 16, 55, 61, 67, -1})
        EXPECT_EQ(pfCategoryText(unknown), "Unknown Error Class") << unknown;
}

TEST(MessageText, NumberedTexts)
{
    EXPECT_EQ(pfMessageText(1), "] END PROGRAM ");
    EXPECT_EQ(pfMessageText(19), "Module    ");
    EXPECT_EQ(pfMessageText(22), "The program is too deeply nested. The error handler can only "
                                 "handle 1000 levels of recursion.");
    EXPECT_EQ(pfMessageText(44), "&Break to");
    EXPECT_EQ(pfMessageText(53).size(), 7);
    for (int none : {0, 2, 15, 45, 54, 60, 63, -1})
        EXPECT_EQ(pfMessageText(none), QString()) << none;
}

TEST(MessageText, StartAndStopLinesCarryTheRuntimeVersion)
{
    EXPECT_TRUE(pfMessageText(20).endsWith(" - start Sentrix client v" + runtimeVersionText()
                                           + " data capture"));
    EXPECT_TRUE(pfMessageText(31).endsWith(" - stop Sentrix client v" + runtimeVersionText()
                                           + " data capture"));
    EXPECT_TRUE(runtimeVersionText().startsWith("6.6 ("));
}

} // namespace
} // namespace lentaro
