#include "platform/forms/messageboxbuttons.h"

namespace lentaro::forms {

namespace {

constexpr int helpFlag = static_cast<int>(Buttons::Help);

// The answers of a button set without its Help flag.
std::vector<Answer> answersOfSet(Buttons set)
{
    switch (set) {
    case Buttons::OkOnly:
        return {Answer::Ok};
    case Buttons::OkCancel:
        return {Answer::Ok, Answer::Cancel};
    case Buttons::AbortRetryIgnore:
        return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::YesNoCancel:
        return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::YesNo:
        return {Answer::Yes, Answer::No};
    case Buttons::RetryCancel:
        return {Answer::Retry, Answer::Cancel};
    case Buttons::Help:
        break;
    }
    return {Answer::Ok};
}

} // namespace

std::vector<Answer> answersOf(Buttons buttons)
{
    std::vector<Answer> answers =
        answersOfSet(static_cast<Buttons>(static_cast<int>(buttons) & ~helpFlag));
    if (static_cast<int>(buttons) & helpFlag)
        answers.push_back(Answer::Help);
    return answers;
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
