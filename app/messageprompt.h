#pragma once

#include <QString>

namespace lentaro {

// The plain message boxes of the program frame (OK button only, the application's title).
// A stand-in until the prompt service of platform/forms takes these over; tests put a
// scripted one in place.
class MessagePrompt
{
public:
    virtual ~MessagePrompt() = default;

    // Shows the text and returns when the user has closed the box.
    virtual void showOk(const QString& text) = 0;
};

// A Qt message box while a QApplication runs; standard error otherwise.
class QtMessagePrompt : public MessagePrompt
{
public:
    void showOk(const QString& text) override;
};

// The prompt every message box of the frame goes to: Qt's unless replaced.
MessagePrompt& messagePrompt();
// Replaces it (nullptr: Qt's again); returns the one it replaces (nullptr for Qt's).
MessagePrompt* setMessagePrompt(MessagePrompt* prompt);

} // namespace lentaro
