#include "tests/app/app_fixture.h"

#include "app/programstate.h"
#include "app/recordingsubprefs.h"
#include "app/timetexts.h"

namespace lentaro::test {
namespace {

class TimeTexts : public AppTest
{};

TEST_F(TimeTexts, MmssShowsMinutesAndSecondsOfAnyDuration)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "00:00"},
        {999, "00:00"},
        {59999, "00:59"},
        {60000, "01:00"},
        {65000, "01:05"},
        {6000000, "100:00"},
        {32767000, "546:07"},
        {32768000, "546:08"}, // beyond a 16-bit count of seconds
        {2147483647, "35791:23"},
        {-65000, "-01:05"},
    };
    for (const auto& [ms, text] : cases) {
        SCOPED_TRACE(ms);
        EXPECT_EQ(mmss(ms), QString::fromLatin1(text));
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(TimeTexts, ALengthIsShownToTheNearestSecond)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "00:00"},    {499, "00:00"},   {500, "00:01"},    {9999, "00:10"},
        {2400, "00:02"}, {59500, "01:00"}, {-9999, "-00:10"},
    };
    for (const auto& [ms, text] : cases) {
        SCOPED_TRACE(ms);
        EXPECT_EQ(lengthMmss(ms), QString::fromLatin1(text));
    }
}

TEST_F(TimeTexts, MinutesAndSecondsOfATrackTimeText)
{
    struct Case {
        const char* text;
        int minutes;
        int seconds;
    };
    const Case cases[] = {
        {"01:02:03", 2, 3}, {"12:59:58", 59, 58}, {"01: 7: 5", 7, 5}, {"01:xx:03", 0, 3},
        {"01:02", 2, 0},    {"ab", 0, 0},         {"", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(minutes(QString::fromLatin1(c.text)), c.minutes);
        EXPECT_EQ(seconds(QString::fromLatin1(c.text)), c.seconds);
    }
    EXPECT_EQ(trappedError(), 0);
}

class RecordingSubPrefs : public AppTest
{};

TEST_F(RecordingSubPrefs, RecordingValuesFollowTheRecordMode)
{
    struct Case {
        int recordMode;
        int sampleRate;
        int rate;
        float samplesPerMs;
    };
    const Case cases[] = {
        {1, 22050, 44100, 44.1f},
        {2, 22050, 22050, 22.05f},
        {2, 11025, 11025, 11.025f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recordMode);
        programState().gvRecordMode = c.recordMode;
        programState().gvRecordingSampleRate = c.sampleRate;
        getRecordingSubPrefs();
        EXPECT_EQ(programState().gvChannels, 1);
        EXPECT_EQ(programState().gvRecordingRate, c.rate);
        EXPECT_FLOAT_EQ(programState().gvSamplesPerMs, c.samplesPerMs);
    }
}

} // namespace
} // namespace lentaro::test
