#pragma once

#include "platform/forms/form.h"

#include <QString>

class QLabel;
class QPushButton;

namespace lentaro {

// The progress window: a short text and Cancel while the main window is disabled. It has no
// parent window, so disabling the main window leaves its Cancel usable; every way out of it
// enables the main window again. Driven by Message2 (messages.h).
class messages2 : public forms::Form
{
    Q_OBJECT

public:
    static constexpr const char* formName = "messages2";

    messages2();

    // Ends what the source tag names, then unloads: "KV" the engine pass, "ACD" the digital CD
    // read (after the user confirms), any other tag nothing.
    void btnCancel_Click();

    QPushButton* btnCancel;
    QLabel* lblNoInterrupt;
    QLabel* Label1;

    // What the window reports on: "ACD" (digital CD read), "KV" (engine pass) or anything else.
    QString source;

protected:
    void formUnload() override;
};

} // namespace lentaro
