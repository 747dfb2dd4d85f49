#include "app/hinttexts.h"

#include "app/webaddresses.h"

#include <map>

namespace lentaro {

const QString defaultHintText = QStringLiteral(
    "There's one setup point to handle. In order for the SlowPlay feature to work, you must "
    "enable recording from the CD-ROM drive in your computer's mixer.");

namespace {

const QString lineBreak = QStringLiteral("\n");
const QString paragraph = QStringLiteral("\n\n");

const QString notDamagedParagraph = QStringLiteral(
    "During the operation, the computer may be unresponsive to user input. You may stop the "
    "program with Ctrl-Alt-Delete during the operation if you must - nothing will be damaged.");

const std::map<QString, QString>& texts()
{
    static const std::map<QString, QString> table = {
        {QStringLiteral("importantNote"),
         QStringLiteral("IF THE PLAYBACK IS JITTERY the first time through a loop, it means that "
                        "your computer is not fast ")
             + QStringLiteral("enough to handle smooth realtime playback at the current speed, "
                              "pitch and sound quality settings.")
             + paragraph
             + QStringLiteral("If this is occurring, our best suggestion would be to go into the "
                              "Settings menu and turn off realtime playback. This will ")
             + QStringLiteral("result in the fastest transformation of the sound for *your* "
                              "computer, and smooth playback.")
             + paragraph
             + QStringLiteral("You might also consider leaving the realtime transformation "
                              "feature on, but selecting a lower sound quality ")
             + QStringLiteral("(also from the Settings menu). This may result in smoother "
                              "realtime playback at a quality adequate for ")
             + QStringLiteral("your purposes.") + paragraph
             + QStringLiteral("IF YOU ARE HEARING NO SOUND OR EXPERIENCING DISTORTION, please "
                              "view the online manual (press F1 after you close this window) ")
             + QStringLiteral("or visit our Web site at ") + productWebAddress
             + QStringLiteral(" for the latest updates and information")},
        {QStringLiteral("youMightTryDigital"),
         QStringLiteral("You may be able to improve the sound quality by changing the Record Mode "
                        "to Digital.")
             + paragraph
             + QStringLiteral("By default, Recording Mode is Analog because it works will ALL "
                              "CD-ROM drives (digital recording sounds better, but only works "
                              "with SOME drives -mostly newer ones - and will HANG other "
                              "systems). We suggest that you make your first recording as is - "
                              "using Analog recording - and after that try digital once to see "
                              "what happens.")},
        {QStringLiteral("recordingMixerTakesAWhile"),
         QStringLiteral("On some computers, under some conditions, this operation flashes a few "
                        "screens at you before settling down (Lentaro is controlling various "
                        "System programs that cooperate to varying degrees). On most computers, "
                        "this will successfully bring up the recording mixer in a few seconds. "
                        "If you have any trouble, consult the Troubleshooting Guide (under the "
                        "Help menu) for instructions on activating the Recording Mixer "
                        "manually.")},
        {QStringLiteral("warnGraphic"),
         QStringLiteral("This operation may take several minutes.") + paragraph
             + QStringLiteral("Its duration depends on the length of the slowed-down file, your "
                              "processor speed, and the size of your RAM (memory).")
             + paragraph
             + QStringLiteral("As an example, a 10-second loop, slowed down 50% to a 20-second "
                              "file, takes about 20 seconds to display on a 300 MHz Pentium II "
                              "with 64MB of RAM. Your results can be expected to be "
                              "proportional.")
             + paragraph + notDamagedParagraph},
        {QStringLiteral("warnSlowdown"),
         QStringLiteral("The slowdown operation may take several minutes.") + paragraph
             + QStringLiteral("Its duration depends on the length of the loop, the SlowDown Type "
                              "in the Settings Menu, the percentage of slowdown required, and "
                              "your processor speed.")
             + paragraph
             + QStringLiteral("As an example, a 10-second loop, slowed down 50% with the "
                              "highest-quality algorithm, took 15 seconds to slow down on a 300 "
                              "MHz Pentium II. Your results can be expected to be "
                              "proportional.")
             + paragraph + notDamagedParagraph},
        {QStringLiteral("warnRecordDigital"),
         QStringLiteral("Lentaro is set up to try to record loops from your CD to your hard disk "
                        "digitally.")
             + paragraph
             + QStringLiteral("If your CD-ROM drive supports this feature, it is the best choice "
                              "- for superior sound quality, speed and simplicity.")
             + paragraph
             + QStringLiteral("Unfortunately, although most recent CD-ROM drives support this "
                              "feature, it is not standard and may not work on your system.")
             + paragraph
             + QStringLiteral("At the time of this writing, a list of such CD-ROM drives could "
                              "be found at ")
             + digitalDrivesWebAddress + paragraph
             + QStringLiteral("If the system hangs after you click OK, end the program by using "
                              "Ctrl-Alt-Delete. Then restart it, change your Settings\\Record "
                              "Mode to Analog and try again.")},
        {QStringLiteral("warnTutorialExists"),
         QStringLiteral("Here's the simplest GETTING STARTED manual for Lentaro: ") + lineBreak
             + QStringLiteral("1. Put in a CD.") + lineBreak
             + QStringLiteral("2. Press the \"Start New Loop\" button to begin a loop at the "
                              "start of Track 1.")
             + lineBreak
             + QStringLiteral("3. After a few seconds, click on the \"Complete Current Loop And "
                              "Close Window\" button to complete the loop.")
             + lineBreak
             + QStringLiteral("4. Hit the Transform button to hear the loop slowed down.")
             + paragraph
             + QStringLiteral("There's lots more to Lentaro  - the easiest and fastest way to "
                              "master Lentaro is to go through the Tutorial in the User Manual, "
                              "available under the Help menu.")},
    };
    return table;
}

} // namespace

std::optional<QString> hintText(const QString& hintID)
{
    const auto found = texts().find(hintID);
    if (found == texts().end())
        return std::nullopt;
    return found->second;
}

} // namespace lentaro
