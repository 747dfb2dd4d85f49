#pragma once

#include "platform/forms/prompts.h"

namespace lentaro::forms {

// Qt's own dialogs while a QApplication runs. Without one the text goes to standard error and
// the request is answered as Enter would (the default button, the default text) or cancelled.
class QtPromptService : public PromptService
{
public:
    Answer messageBox(const MessageBoxRequest& request) override;
    std::optional<QString> inputBox(const InputBoxRequest& request) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    std::optional<QColor> colorDialog(const ColorDialogRequest& request) override;
};

} // namespace lentaro::forms
