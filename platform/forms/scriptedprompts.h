#pragma once

#include "platform/forms/prompts.h"

#include <deque>
#include <vector>

namespace lentaro::forms {

// A prompt service for tests: it answers from queues the test fills and keeps every request it
// was given, so a test reads back what was shown. A request with nothing queued for it gets what
// pressing Enter would give (the default button, the default text), and a common dialog is
// cancelled; unanswered() counts those.
class ScriptedPrompts : public PromptService
{
public:
    void queueAnswer(Answer answer) { answers_.push_back(answer); }
    void queueInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    void queueFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
    void queueColor(std::optional<QColor> color) { colors_.push_back(color); }

    Answer messageBox(const MessageBoxRequest& request) override;
    std::optional<QString> inputBox(const InputBoxRequest& request) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    std::optional<QColor> colorDialog(const ColorDialogRequest& request) override;

    // What was shown, oldest first.
    const std::vector<MessageBoxRequest>& messageBoxes() const { return messageBoxes_; }
    const std::vector<InputBoxRequest>& inputBoxes() const { return inputBoxes_; }
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    const std::vector<ColorDialogRequest>& colorDialogs() const { return colorDialogs_; }

    // Requests that found nothing queued for them.
    int unanswered() const { return unanswered_; }
    // Queued answers no request has taken yet.
    std::size_t pendingAnswers() const
    {
        return answers_.size() + inputs_.size() + files_.size() + colors_.size();
    }

private:
    std::deque<Answer> answers_;
    std::deque<std::optional<QString>> inputs_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<QColor>> colors_;

    std::vector<MessageBoxRequest> messageBoxes_;
    std::vector<InputBoxRequest> inputBoxes_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<ColorDialogRequest> colorDialogs_;
    int unanswered_ = 0;
};

} // namespace lentaro::forms
