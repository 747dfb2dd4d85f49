#include "platform/forms/qtprompts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace lentaro::forms {
namespace {

// Runs `press` on the message box as soon as it is up and notes the buttons it offers. A box
// the press leaves open is closed (and the test fails), so no test waits for a person.
void whenBoxIsUp(std::function<void(QMessageBox&)> press, QMessageBox::StandardButtons& offered)
{
    QTimer::singleShot(0, [press = std::move(press), &offered] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no message box is up";
            return;
        }
        offered = box->standardButtons();
        press(*box);
        if (box->isVisible()) {
            ADD_FAILURE() << "the message box is still open";
            box->done(0);
        }
    });
}

TEST(QtPromptServiceTest, HelpIsABoxButtonOfItsOwnWhoseAnswerIsHelp)
{
    const auto click = [](QMessageBox::StandardButton button) {
        return [button](QMessageBox& box) { box.button(button)->click(); };
    };
    const struct {
        const char* name;
        Buttons buttons;
        std::function<void(QMessageBox&)> press;
        QMessageBox::StandardButtons offered;
        Answer answer;
    } cases[] = {
        {"Help of OK and Help", Buttons::OkOnly | Buttons::Help, click(QMessageBox::Help),
         QMessageBox::Ok | QMessageBox::Help, Answer::Help},
        {"OK of OK and Help", Buttons::OkOnly | Buttons::Help, click(QMessageBox::Ok),
         QMessageBox::Ok | QMessageBox::Help, Answer::Ok},
        {"Escape on OK and Help", Buttons::OkOnly | Buttons::Help,
         [](QMessageBox& box) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&box, &escape);
         },
         QMessageBox::Ok | QMessageBox::Help, Answer::Ok},
        {"title bar on OK and Help", Buttons::OkOnly | Buttons::Help,
         [](QMessageBox& box) { box.close(); }, QMessageBox::Ok | QMessageBox::Help, Answer::Ok},
        {"title bar on Yes, No and Help", Buttons::YesNo | Buttons::Help,
         [](QMessageBox& box) { box.close(); },
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Help, Answer::No},
        {"Retry without Help", Buttons::RetryCancel, click(QMessageBox::Retry),
         QMessageBox::Retry | QMessageBox::Cancel, Answer::Retry},
    };
    QtPromptService qtPrompts;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QMessageBox::StandardButtons offered;
        whenBoxIsUp(c.press, offered);
        EXPECT_EQ(
            qtPrompts.messageBox({QStringLiteral("Press F1 for Help on \"Error 1 - Overflow\""),
                                  QStringLiteral("Lentaro"), c.buttons}),
            c.answer);
        EXPECT_EQ(offered, c.offered);
    }
}

} // namespace
} // namespace lentaro::forms
