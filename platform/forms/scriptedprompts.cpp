#include "platform/forms/scriptedprompts.h"

#include "platform/forms/messageboxbuttons.h"

namespace lentaro::forms {

namespace {

// The next queued answer, or the fallback (counted as unanswered) when the queue is empty.
template <typename T>
T take(std::deque<T>& queue, T fallback, int& unanswered)
{
    if (queue.empty()) {
        ++unanswered;
        return fallback;
    }
    fallback = std::move(queue.front());
    queue.pop_front();
    return fallback;
}

} // namespace

Answer ScriptedPrompts::messageBox(const MessageBoxRequest& request)
{
    messageBoxes_.push_back(request);
    return take(answers_, defaultAnswer(request), unanswered_);
}

std::optional<QString> ScriptedPrompts::inputBox(const InputBoxRequest& request)
{
    inputBoxes_.push_back(request);
    return take(inputs_, std::optional<QString>(request.defaultText), unanswered_);
}

std::optional<QString> ScriptedPrompts::fileDialog(const FileDialogRequest& request)
{
    fileDialogs_.push_back(request);
    // As Qt's dialog gives back a name typed without an extension.
    const std::optional<QString> chosen = take(files_, std::optional<QString>(), unanswered_);
    if (!chosen || request.kind != FileDialogRequest::Kind::Save)
        return chosen;
    return withDefaultSuffix(*chosen, request.defaultSuffix);
}

std::optional<QColor> ScriptedPrompts::colorDialog(const ColorDialogRequest& request)
{
    colorDialogs_.push_back(request);
    return take(colors_, std::optional<QColor>(), unanswered_);
}

} // namespace lentaro::forms
