#include "platform/forms/messageboxbuttons.h"

namespace lentaro::forms {

std::vector<Answer> answersOf(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OkOnly: return {Answer::Ok};
    case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case Buttons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::YesNo: return {Answer::Yes, Answer::No};
    case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::Ok};
}

Answer defaultAnswer(const MessageBoxRequest& request)
{
    const std::vector<Answer> answers = answersOf(request.buttons);
    const int index = request.defaultButton - 1;
    if (index < 0 || index >= int(answers.size()))
        return answers.front();
    return answers[std::size_t(index)];
}

} // namespace lentaro::forms
