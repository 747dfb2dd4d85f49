#pragma once

#include "platform/shell/service.h"

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace lentaro::forms {

// Message box buttons, icons and answers, numbered as the program's callers know them. Help is
// added to a button set (Buttons::OkOnly | Buttons::Help): a Help button after the set's, which
// closes the box with the answer Help; the caller opens its help then.
enum class Buttons {
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Help = 16384
};
enum class Icon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class Answer {
    Ok = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
    Help = 8
};

constexpr Buttons operator|(Buttons set, Buttons help)
{
    return static_cast<Buttons>(static_cast<int>(set) | static_cast<int>(help));
}

struct MessageBoxRequest {
    QString text;
    QString caption;
    Buttons buttons = Buttons::OkOnly;
    Icon icon = Icon::None;
    int defaultButton = 1; // 1 to 3, counted from the left
    // The window the box belongs to (below); none: the application's.
    QWidget* owner = nullptr;
};

struct InputBoxRequest {
    QString prompt;
    QString caption;
    QString defaultText;
    QWidget* owner = nullptr;
};

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString caption;
    QString folder;   // where the dialog starts
    QString fileName; // proposed name
    QString filter;   // "Wave files (*.wav);;All files (*)"
    // Added, after a dot, to a chosen name that has no extension ("wav").
    QString defaultSuffix;
};

// The name as a file dialog with that default extension returns it: path, or path + "." +
// suffix when the file's name has no extension and there is a suffix to add.
QString withDefaultSuffix(const QString& path, const QString& suffix);

struct ColorDialogRequest {
    QString caption;
    QColor initial;
    QWidget* owner = nullptr;
};

// A box with an owner is its window's child: centred on it and shown above it, also when that
// window stays above all others (which would keep a box of its own level beneath it).

// Where every message box, input box and common dialog of the program goes. The program shows
// Qt's; tests put a scripted one in place (ScriptedPrompts).
class PromptService
{
public:
    virtual ~PromptService() = default;

    virtual Answer messageBox(const MessageBoxRequest& request) = 0;
    // The text entered; nothing when the user cancelled.
    virtual std::optional<QString> inputBox(const InputBoxRequest& request) = 0;
    // The file chosen; nothing when the user cancelled.
    virtual std::optional<QString> fileDialog(const FileDialogRequest& request) = 0;
    // The colour chosen; nothing when the user cancelled.
    virtual std::optional<QColor> colorDialog(const ColorDialogRequest& request) = 0;
};

// The service in use: Qt's unless replaced.
extern Service<PromptService> prompts;

// A message box; an empty title is the application's title.
Answer MsgBox(const QString& prompt, Buttons buttons = Buttons::OkOnly, Icon icon = Icon::None,
              const QString& title = {}, QWidget* owner = nullptr);

// Yes and No with the question icon and the application's title; true only for Yes.
bool confirm(const QString& msg);

// The text entered, or "" when the user cancelled; an empty title is the application's title.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {},
                 QWidget* owner = nullptr);

} // namespace lentaro::forms
