#include "tests/trace/trace_fixture.h"

#include "trace/circularlog.h"

#include <QDir>
#include <QFile>

namespace lentaro::test {
namespace {

using CircularLogTest = TraceTest;

QByteArray record(const QByteArray& text, int recordSize)
{
    return text + QByteArray(recordSize - 2 - text.size(), ' ') + "\r\n";
}

TEST_F(CircularLogTest, HeaderThenFixedSizeRecordsPaddedOrCut)
{
    CircularLog log;
    ASSERT_TRUE(log.open(path("ring.log"), 512, 100));
    const QByteArray hundred(100, 'a');
    const QByteArray sixHundred(600, 'b');
    const QByteArray fiveEleven(511, 'c');
    log.write(QString::fromLatin1(hundred) + "\r\n");
    log.write(QString::fromLatin1(sixHundred) + "\r\n");
    log.write(QString::fromLatin1(fiveEleven) + "\r\n");

    const QByteArray bytes = readFile("ring.log");
    ASSERT_EQ(bytes.size(), 10 + 3 * 512);
    EXPECT_EQ(bytes.left(10), "CIRCULAR\r\n");
    EXPECT_EQ(bytes.mid(10, 512), hundred + QByteArray(410, ' ') + "\r\n");
    EXPECT_EQ(bytes.mid(10 + 512, 512), sixHundred.left(510) + "\r\n");
    EXPECT_EQ(bytes.mid(10 + 1024, 512), fiveEleven.left(510) + "\r\n");
}

TEST_F(CircularLogTest, RecordOneFollowsTheLastRecordOfTheRing)
{
    CircularLog log;
    ASSERT_TRUE(log.open(path("ring.log"), 16, 3));
    for (int line = 0; line < 8; ++line)
        log.write(QStringLiteral("line %1\r\n").arg(line));
    // Lines went to records 0, 1, 2, 3, 1, 2, 3, 1.
    const QByteArray bytes = readFile("ring.log");
    ASSERT_EQ(bytes.size(), 10 + 4 * 16);
    EXPECT_EQ(bytes.mid(10, 16), record("line 0", 16));
    EXPECT_EQ(bytes.mid(10 + 16, 16), record("line 7", 16));
    EXPECT_EQ(bytes.mid(10 + 32, 16), record("line 5", 16));
    EXPECT_EQ(bytes.mid(10 + 48, 16), record("line 6", 16));
}

TEST_F(CircularLogTest, AnOlderLongerFileKeepsItsTail)
{
    writeFile("ring.log", QByteArray(3000, 'x'));
    CircularLog log;
    ASSERT_TRUE(log.open(path("ring.log"), 100, 5));
    log.write("start\r\n");
    log.write("next\r\n");
    const QByteArray bytes = readFile("ring.log");
    ASSERT_EQ(bytes.size(), 3000);
    EXPECT_EQ(bytes.left(10), "CIRCULAR\r\n");
    EXPECT_EQ(bytes.mid(10, 100), record("start", 100));
    EXPECT_EQ(bytes.mid(110, 100), record("next", 100));
    EXPECT_EQ(bytes.mid(210), QByteArray(2790, 'x'));
}

TEST_F(CircularLogTest, ACutNeverSplitsACharacter)
{
    CircularLog log;
    ASSERT_TRUE(log.open(path("ring.log"), 8, 5));
    log.write(QStringLiteral("aaaaa\u00e9\r\n")); // é takes bytes 6 and 7 of a 6-byte record text
    log.write(QStringLiteral("aaaa\u00e9\r\n"));  // fits exactly
    const QByteArray bytes = readFile("ring.log");
    EXPECT_EQ(bytes.mid(10, 8), QByteArray("aaaaa \r\n"));
    EXPECT_EQ(bytes.mid(18, 8), QByteArray("aaaa\xc3\xa9\r\n"));
}

TEST_F(CircularLogTest, TheRuntimeWritesTheStartLineToRecordZero)
{
    writeIni("[Log File]\nCircularLog=1\n[CircularLog]\nRecordSize=128\nMaxRecords=2\n"
             "[include]\nResources=0\nMemory=0\nUser=0\n");
    sxPUSH("frmMain", "Sub Main");
    sxPUSH("frmTrim", "Sub Form_Load");
    sxPOP("frmTrim", "Sub Form_Load");
    const QByteArray bytes = readFile("circ0001.log");
    ASSERT_EQ(bytes.size(), 10 + 3 * 128);
    EXPECT_TRUE(bytes.mid(10, 128).startsWith("[Lentaro] "));
    EXPECT_TRUE(bytes.mid(10, 126).trimmed().endsWith(" data capture"));
    EXPECT_EQ(bytes.mid(10 + 128, 128),
              record("[Lentaro] [00003] [00000.0000] <-\tfrmTrim : Sub Form_Load : ()", 128));
    EXPECT_EQ(bytes.mid(10 + 256, 128),
              record("[Lentaro] [00002] [00000.0000] ->\tfrmTrim : Sub Form_Load : ()", 128));
}

TEST_F(CircularLogTest, AFileThatCannotBeOpenedTurnsTheCircularLogOff)
{
    useDevelopmentEnvironment();
    QDir().mkpath(path("taken"));
    writeIni("[Log File]\nCircularLog=1\n[CircularLog]\nFileName=taken\n");
    sxPUSH("frmMain", "Sub Main");
    sxPOP("frmMain", "Sub Main");
    EXPECT_EQ(runtime().lineCount(), 0);
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(prompts_.messageBoxes()[0].icon, forms::Icon::Critical);
    EXPECT_EQ(prompts_.messageBoxes()[0].buttons, forms::Buttons::OkOnly);
    EXPECT_EQ(prompts_.messageBoxes()[0].text, "Could not open circular log file " + path("taken"));
}

} // namespace
} // namespace lentaro::test
