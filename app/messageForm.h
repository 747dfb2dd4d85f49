#pragma once

#include "app/CFormEx.h"
#include "platform/forms/form.h"

#include <memory>

class QLabel;

namespace lentaro {

// The status window: a short text in a box that stays above all other windows and disables
// nothing. Driven by Message (messages.h).
class messageForm : public forms::Form
{
    Q_OBJECT

public:
    static constexpr const char* formName = "messageForm";

    messageForm();

    QLabel* Label1;

protected:
    void formUnload() override;

private:
    std::unique_ptr<CFormEx> formEx_;
};

} // namespace lentaro
