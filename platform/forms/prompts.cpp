#include "platform/forms/prompts.h"

#include "platform/forms/applicationtitle.h"
#include "platform/forms/qtprompts.h"

#include <QFileInfo>

namespace lentaro::forms {

namespace {

QString titleOrDefault(const QString& title)
{
    return title.isEmpty() ? applicationTitle() : title;
}

} // namespace

Service<PromptService> prompts{madeAtFirstUse<QtPromptService>};

Answer MsgBox(const QString& prompt, Buttons buttons, Icon icon, const QString& title,
              QWidget* owner)
{
    return prompts().messageBox({prompt, titleOrDefault(title), buttons, icon, 1, owner});
}

QString withDefaultSuffix(const QString& path, const QString& suffix)
{
    if (path.isEmpty() || suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + suffix;
}

bool confirm(const QString& msg)
{
    return MsgBox(msg, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                 QWidget* owner)
{
    return prompts()
        .inputBox({prompt, titleOrDefault(title), defaultText, owner})
        .value_or(QString());
}

} // namespace lentaro::forms
