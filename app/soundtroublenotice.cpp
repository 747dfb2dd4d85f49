#include "app/soundtroublenotice.h"

#include "app/programstate.h"
#include "app/userinterfacethread.h"
#include "platform/forms/prompts.h"

namespace lentaro {

namespace {

const QString toWorkWithoutSound =
    QStringLiteral("To work without sound, start Lentaro with LENTARO_AUDIO=null.");

QString reasonOf(const audio::Status& why)
{
    return QString::fromStdString(why.detail.empty() ? audio::errorText(why.error) : why.detail);
}

void tellOnce(bool& told, const QString& text)
{
    programState().gvPlayState.setState(false);
    if (told)
        return;
    told = true;
    postToUserInterface(
        [text] { forms::MsgBox(text, forms::Buttons::OkOnly, forms::Icon::Exclamation); });
}

QString noSoundOutputText(const audio::Status& why)
{
    return QStringLiteral("No sound output could be opened: %1.\n\nCheck the desktop's sound "
                          "settings: a sound output device must be there, switched on and "
                          "chosen for playback. ")
               .arg(reasonOf(why))
           + toWorkWithoutSound;
}

QString noSoundInputText(const audio::Status& why)
{
    return QStringLiteral("No sound input could be opened: %1.\n\nCheck the desktop's sound "
                          "settings: a recording device must be there, switched on and chosen "
                          "for recording. ")
               .arg(reasonOf(why))
           + toWorkWithoutSound;
}

} // namespace

void SoundTroubleNotice::noOutput(const audio::Status& why)
{
    tellOnce(outputTold_, noSoundOutputText(why));
}

void SoundTroubleNotice::noInput(const audio::Status& why)
{
    tellOnce(inputTold_, noSoundInputText(why));
}

} // namespace lentaro
