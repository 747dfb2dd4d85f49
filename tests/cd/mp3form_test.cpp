// The MP3 conversion dialog over the CD side's rig: which file it converts, when Convert may be
// pressed, what stays of the output after a refusal, a stop or a bad input, and what Yes and No
// at the end lead to.
#include "cd/mp3form.h"

#include "cd/mp3decoder.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"
#include "tests/cd/cd_rig_fixture.h"
#include "tests/cd/support/converted_wave.h"
#include "tests/cd/support/frame_gate.h"
#include "tests/cd/support/mp3_maker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <optional>
#include <ostream>

namespace lentaro::test {

namespace {

constexpr int deadlineMs = 20000;
const QByteArray earlierWave = QByteArrayLiteral("the wave file that was there before");

// Which of Find, Find, Convert, Cancel and Close can be pressed.
struct Buttons {
    bool findInput, findOutput, convert, cancel, close;
    bool operator==(const Buttons& o) const
    {
        return findInput == o.findInput && findOutput == o.findOutput && convert == o.convert
               && cancel == o.cancel && close == o.close;
    }
};

void PrintTo(const Buttons& b, std::ostream* out)
{
    *out << "Find " << b.findInput << ", Find " << b.findOutput << ", Convert " << b.convert
         << ", Cancel " << b.cancel << ", Close " << b.close;
}

constexpr Buttons idle{true, true, true, false, true};
constexpr Buttons converting{false, false, false, true, false};

class Mp3FormTest : public CdRigTest
{
protected:
    void SetUp() override
    {
        CdRigTest::SetUp();
        useDiscs({});
        form_ = new mp3form({[this](const QString& fn) { rig().addToMRUs(fn); },
                             [this](const QString& fn) { rig().playWaveFile(fn); },
                             [this](const QString& theMode, bool suppressRefresh) {
                                 rig().changeToMode(theMode, suppressRefresh);
                             }});
    }

    QString file(const QString& name) const { return folder_.filePath(name); }
    QString input() const { return file(QStringLiteral("in.mp3")); }
    QString output() const { return file(QStringLiteral("out.wav")); }

    void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Both boxes filled as typed.
    void name(const QString& in, const QString& out)
    {
        form_->txtInputMP3file->setText(in);
        form_->txtOutputWaveFile->setText(out);
    }

    // Presses Convert and waits for the conversion's end, when one started.
    void convert()
    {
        form_->cmdConvert->click();
        QDeadlineTimer deadline(deadlineMs);
        // Yes at the end takes the window away.
        const auto converting = [this] { return form_ && form_->mp3->converting(); };
        while (converting() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        ASSERT_FALSE(converting());
    }

    Buttons buttons() const
    {
        return {form_->cmdBrowse[0]->isEnabled(), form_->cmdBrowse[1]->isEnabled(),
                form_->cmdConvert->isEnabled(), form_->cmdCancel->isEnabled(),
                form_->cmdClose->isEnabled()};
    }

    bool formLoaded() const { return forms::loadedFormOf<mp3form>() != nullptr; }

    QStringList folderFiles() const
    {
        return QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QPointer<mp3form> form_;
    QTemporaryDir folder_;
};

struct EnablingCase {
    const char* name;
    const char* input; // in the test's folder, where in.mp3 and a folder "sub" exist
    bool outputGiven;
    bool convertEnabled;
};

class Mp3FormEnablingTest : public Mp3FormTest, public ::testing::WithParamInterface<EnablingCase>
{};

TEST_P(Mp3FormEnablingTest, ConvertNeedsAnExistingRegularFileAndAnOutput)
{
    writeMp3(input(), {});
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("sub")));
    const QString typed = *GetParam().input ? file(QString::fromUtf8(GetParam().input)) : QString();
    name(typed, GetParam().outputGiven ? output() : QString());

    EXPECT_EQ(form_->cmdConvert->isEnabled(), GetParam().convertEnabled);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Mp3FormEnablingTest,
                         ::testing::Values(EnablingCase{"existingFile", "in.mp3", true, true},
                                           EnablingCase{"noOutput", "in.mp3", false, false},
                                           EnablingCase{"emptyInput", "", true, false},
                                           EnablingCase{"missingFile", "other.mp3", true, false},
                                           EnablingCase{"folder", "sub", true, false},
                                           EnablingCase{"wildcard", "*.mp3", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Mp3FormTest, ConvertsTheFileNamedInTheInputBoxNotTheOneFoundBefore)
{
    const QString found = file(QStringLiteral("found.mp3"));
    writeMp3(found, {44100, 2, 44100, 440.0});
    writeMp3(input(), {44100, 2, 44100 * 2 + 500, 880.0});
    prompts_.queueFile(found);
    form_->cmdBrowse[0]->click();
    EXPECT_EQ(form_->txtInputMP3file->text(), found);
    EXPECT_EQ(form_->lblMP3length->text(), QStringLiteral("Length: 00:01"));

    name(input(), output());
    prompts_.queueAnswer(forms::Answer::No);
    convert();

    const ConvertedWave wave = readConvertedWave(output());
    EXPECT_EQ(wave.frames, 44100 * 2 + 500);
    EXPECT_NEAR(toneFrequency(wave), 880.0, 2.0);
    EXPECT_EQ(form_->lblMP3length->text(), QStringLiteral("Length: 00:02"));
    EXPECT_EQ(form_->lblProgress->text(), QStringLiteral("00:02"));
}

TEST_F(Mp3FormTest, ChoosingTheOutputDeletesNothing)
{
    writeBytes(output(), earlierWave);
    prompts_.queueFile(output());
    form_->cmdBrowse[1]->click();

    EXPECT_EQ(form_->txtOutputWaveFile->text(), output());
    EXPECT_EQ(fileBytes(output()), earlierWave);
}

struct RefusedCase {
    const char* name;
    const char* output; // "" for the input itself
};

class Mp3FormRefusalTest : public Mp3FormTest, public ::testing::WithParamInterface<RefusedCase>
{};

TEST_P(Mp3FormRefusalTest, RefusesToWriteOverTheInputOrAWorkingFile)
{
    writeMp3(input(), {});
    const QByteArray mp3 = fileBytes(input());
    const QString out = *GetParam().output ? file(QString::fromUtf8(GetParam().output)) : input();
    if (out != input())
        writeBytes(out, earlierWave);
    name(input(), out);
    convert();

    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_TRUE(
        shownMessages().front().startsWith(QStringLiteral("Please choose a different name.")))
        << shownMessages().front().toStdString();
    EXPECT_EQ(buttons(), idle);
    EXPECT_EQ(fileBytes(out), out == input() ? mp3 : earlierWave);
    EXPECT_EQ(trappedError(), 0);
}

INSTANTIATE_TEST_SUITE_P(Outputs, Mp3FormRefusalTest,
                         ::testing::Values(RefusedCase{"theInput", ""},
                                           RefusedCase{"tempWav", "temp.wav"},
                                           RefusedCase{"tempSlowWav", "TempSlow.wav"}),
                         [](const auto& info) { return std::string(info.param.name); });

enum class Interruption { Cancel, CloseBox };

class Mp3FormInterruptionTest : public Mp3FormTest,
                                public ::testing::WithParamInterface<Interruption>
{};

TEST_P(Mp3FormInterruptionTest, LeavesTheOutputAsItWasAndNoTemporaryFile)
{
    writeMp3(input(), {44100, 2, 44100 * 5, 440.0});
    writeBytes(output(), earlierWave);
    FrameGate gate(25);
    form_->mp3->setPacing(gate.pacing());
    name(input(), output());
    prompts_.queueAnswer(forms::Answer::Yes); // out.wav may be replaced
    form_->cmdConvert->click();
    ASSERT_TRUE(gate.waitUntilHeld());
    EXPECT_EQ(buttons(), converting);
    // Typing meanwhile leaves the way out to Cancel and the close box.
    form_->txtInputMP3file->setText(input() + QStringLiteral(".old"));
    form_->txtInputMP3file->setText(input());
    EXPECT_EQ(buttons(), converting);

    if (GetParam() == Interruption::Cancel) {
        form_->cmdCancel->click();
        EXPECT_EQ(buttons(), idle);
        EXPECT_TRUE(formLoaded());
    } else {
        form_->close();
        EXPECT_FALSE(formLoaded());
    }

    EXPECT_EQ(fileBytes(output()), earlierWave);
    EXPECT_EQ(folderFiles(), (QStringList{QStringLiteral("in.mp3"), QStringLiteral("out.wav")}));
    EXPECT_EQ(shownMessages(), QStringList{output()
                                           + QStringLiteral(" already exists. Do you "
                                                            "want to replace it?")});
}

INSTANTIATE_TEST_SUITE_P(Ways, Mp3FormInterruptionTest,
                         ::testing::Values(Interruption::Cancel, Interruption::CloseBox),
                         [](const auto& info) {
                             return info.param == Interruption::Cancel ? "cancel" : "closeBox";
                         });

TEST_F(Mp3FormTest, NoKeepsTheDialogOpenAndIdleWithTheFileOnTheRecentFiles)
{
    writeMp3(input(), {22050, 1, 22050, 440.0, 64});
    name(input(), output());
    prompts_.queueAnswer(forms::Answer::No);
    convert();

    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("Done converting. Open file now?")});
    EXPECT_TRUE(formLoaded());
    EXPECT_EQ(buttons(), idle);
    EXPECT_EQ(rig().recentFiles.value(0), output());
    EXPECT_TRUE(rig().state().cdView);
}

TEST_F(Mp3FormTest, YesOpensTheNewFileInTheWaveView)
{
    writeMp3(input(), {44100, 2, 44100 * 2, 440.0});
    name(input(), output());
    prompts_.queueAnswer(forms::Answer::Yes);
    convert();

    EXPECT_FALSE(formLoaded());
    EXPECT_EQ(rig().WaveControl->fileName(), output());
    EXPECT_FALSE(rig().state().cdView);
    EXPECT_EQ(rig().state().currentMMControl(), rig().WaveControl);
    EXPECT_EQ(rig().recentFiles.value(0), output());
    EXPECT_EQ(rig().pnlTrackLength->text(), QStringLiteral("Wave File Length 00:02"));
}

// Every control of the dialog, used as the user uses it, reaches its procedure: the boxes typed
// in, Find, Find, Convert (held midway), Cancel and Close clicked, and the close box.
TEST_F(Mp3FormTest, EveryControlReachesItsProcedure)
{
    writeMp3(input(), {44100, 2, 44100 * 5, 440.0});
    FrameGate gate(25);
    form_->mp3->setPacing(gate.pacing());
    TracedCalls calls(home());
    form_->show();
    const auto clicked = [](QWidget* control) { return [control] { click(control); }; };
    const auto typed = [](QWidget* box) { return [box] { QTest::keyClicks(box, "x"); }; };
    prompts_.queueFile(input());
    prompts_.queueFile(output());
    walk(calls, {
                    {"MP3 file typed", typed(form_->txtInputMP3file),
                     "mp3form : Sub txtInputMP3file_Change"},
                    {"wave file typed", typed(form_->txtOutputWaveFile),
                     "mp3form : Sub txtOutputWaveFile_Change"},
                    {"Find the MP3 file", clicked(form_->cmdBrowse[0]),
                     "mp3form : Sub cmdBrowse_Click : (Index=0)"},
                    {"Find the wave file", clicked(form_->cmdBrowse[1]),
                     "mp3form : Sub cmdBrowse_Click : (Index=1)"},
                    {"Convert",
                     [&] {
                         click(form_->cmdConvert);
                         EXPECT_TRUE(gate.waitUntilHeld());
                     },
                     "mp3form : Sub cmdConvert_Click"},
                    {"Cancel", clicked(form_->cmdCancel), "mp3form : Sub cmdCancel_Click"},
                    {"Close", clicked(form_->cmdClose), "mp3form : Sub cmdClose_Click",
                     [this] { return !formLoaded(); }},
                });
    deleteUnloaded();

    auto* again =
        new mp3form({[](const QString&) {}, [](const QString&) {}, [](const QString&, bool) {}});
    again->show();
    walk(calls, {{"the close box", [again] { again->close(); }, "mp3form : Sub Form_Unload",
                  [this] { return !formLoaded(); }}});
    EXPECT_EQ(calls.lastError().number, 0) << calls.lastError().description.toStdString();
}

struct BadInputCase {
    const char* name;
    QByteArray (*bytes)();
    const char* why; // what the message says after "cannot be read as MP3: "
};

QByteArray cutMidFrame(const Mp3Spec& spec)
{
    const QByteArray whole = encodeMp3(spec);
    return whole.left(whole.size() / 2 + 100);
}

class Mp3FormBadInputTest : public Mp3FormTest, public ::testing::WithParamInterface<BadInputCase>
{};

TEST_P(Mp3FormBadInputTest, SaysWhyTheFileCannotBeReadAndLeavesTheOutputAsItWas)
{
    writeBytes(input(), GetParam().bytes());
    writeBytes(output(), earlierWave);
    prompts_.queueAnswer(forms::Answer::Yes); // out.wav may be replaced
    name(input(), output());
    convert();

    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
    ASSERT_EQ(shownMessages().size(), 2) << shownMessages().join('\n').toStdString();
    const QString told = shownMessages().last();
    EXPECT_TRUE(told.startsWith(input() + QStringLiteral(" cannot be read as MP3: ")
                                + QString::fromUtf8(GetParam().why)))
        << told.toStdString();
    EXPECT_EQ(buttons(), idle);
    EXPECT_EQ(fileBytes(output()), earlierWave);
    EXPECT_EQ(folderFiles(), (QStringList{QStringLiteral("in.mp3"), QStringLiteral("out.wav")}));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Mp3FormBadInputTest,
    ::testing::Values(
        BadInputCase{"noMp3",
                     [] { return QByteArray("Plain words in a file that is named as an MP3.\n"); },
                     "it holds no MP3 frames."},
        BadInputCase{"formatChangesMidway",
                     [] {
                         return encodeMp3({44100, 2, 44100 * 2, 440.0})
                                + encodeMp3({22050, 1, 22050, 440.0, 64, false});
                     },
                     "its frames change their rate or channels part way (at 00:0"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CutShortCase {
    const char* name;
    bool infoFrame;
    const char* says; // after "<file> is cut short: "
};

class Mp3FormCutShortTest : public Mp3FormTest, public ::testing::WithParamInterface<CutShortCase>
{};

TEST_P(Mp3FormCutShortTest, ConvertsTheFramesThatDecodeAndSaysItWasCutShort)
{
    const Mp3Spec whole{44100, 2, 44100 * 3, 440.0, 128, GetParam().infoFrame};
    writeBytes(input(), cutMidFrame(whole));
    name(input(), output());
    prompts_.queueAnswer(forms::Answer::Ok);
    prompts_.queueAnswer(forms::Answer::No);
    convert();
    ASSERT_TRUE(form_);

    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
    const ConvertedWave wave = readConvertedWave(output());
    ASSERT_TRUE(wave.headerAgrees);
    // About half of the three seconds, the tone as it was.
    EXPECT_GT(wave.frames, 44100);
    EXPECT_LT(wave.frames, 2 * 44100);
    EXPECT_NEAR(toneFrequency(wave), 440.0, 2.0);
    const QString held = QStringLiteral(" The wave file holds the ") + form_->lblProgress->text()
                         + QStringLiteral(" that could be decoded.");
    EXPECT_EQ(shownMessages(), (QStringList{input() + QStringLiteral(" is cut short: ")
                                                + QString::fromUtf8(GetParam().says) + held,
                                            QStringLiteral("Done converting. Open file now?")}));
    EXPECT_EQ(rig().recentFiles.value(0), output());
}

INSTANTIATE_TEST_SUITE_P(Inputs, Mp3FormCutShortTest,
                         ::testing::Values(
                             // The encoder's info frame states more than is there.
                             CutShortCase{"stated", true,
                                          "it holds 00:01 of the 00:03 it was made with."},
                             // Nothing states the length: the frame cut off at the end tells.
                             CutShortCase{"lastFrameCutOff", false, "its last frame is cut off."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Mp3FormTest, AWaveFileNamedWithoutAnExtensionGetsWav)
{
    writeMp3(input(), {22050, 1, 22050, 440.0, 64});
    prompts_.queueFile(file(QStringLiteral("song")));
    form_->cmdBrowse[1]->click();
    EXPECT_EQ(form_->txtOutputWaveFile->text(), file(QStringLiteral("song.wav")));
    EXPECT_EQ(prompts_.fileDialogs().back().defaultSuffix, QStringLiteral("wav"));

    // Typed, it becomes the same.
    name(input(), file(QStringLiteral("typed")));
    prompts_.queueAnswer(forms::Answer::No);
    convert();

    EXPECT_EQ(form_->txtOutputWaveFile->text(), file(QStringLiteral("typed.wav")));
    EXPECT_EQ(readConvertedWave(file(QStringLiteral("typed.wav"))).frames, 22050);
    EXPECT_EQ(rig().recentFiles.value(0), file(QStringLiteral("typed.wav")));
}

TEST_F(Mp3FormTest, ATypedNameOfAnExistingFileIsReplacedOnlyAfterAsking)
{
    struct Case {
        const char* name;
        bool chosenInTheDialog;
        std::optional<forms::Answer> answer; // none: not asked
        bool replaced;
    };
    const Case cases[] = {
        {"typed, No", false, forms::Answer::No, false},
        {"typed, Yes", false, forms::Answer::Yes, true},
        {"chosen in the dialog, which asked", true, std::nullopt, true},
    };
    writeMp3(input(), {22050, 1, 22050, 440.0, 64});
    const QString replaceIt =
        output() + QStringLiteral(" already exists. Do you want to replace it?");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        writeBytes(output(), earlierWave);
        if (c.chosenInTheDialog) {
            prompts_.queueFile(output());
            form_->cmdBrowse[1]->click();
            form_->txtInputMP3file->setText(input());
        } else {
            name(input(), output());
        }
        if (c.answer)
            prompts_.queueAnswer(*c.answer);
        if (c.replaced)
            prompts_.queueAnswer(forms::Answer::No); // Open file now?
        convert();

        EXPECT_EQ(prompts_.pendingAnswers(), 0u);
        EXPECT_EQ(shownMessages().contains(replaceIt), c.answer.has_value());
        EXPECT_EQ(fileBytes(output()) == earlierWave, !c.replaced);
        EXPECT_EQ(buttons(), idle);
    }
}

} // namespace

} // namespace lentaro::test
