#pragma once

#include "app/Preference.h"
#include "platform/forms/form.h"

#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;

namespace lentaro {

// The hint window: a hint's text, "Don't show this again" and Continue / Cancel. Shown modally
// by ShowHint (hints.h); each showing loads it afresh, and either button unloads it.
class frmHint : public forms::Form
{
    Q_OBJECT

public:
    static constexpr const char* formName = "frmHint";

    frmHint();

    // The preference of the hint being shown, named by ShowHint.
    Preference& hintPreference() { return preference_; }

    // Stores at once whether the hint is shown again: 1 when the box is unchecked, 0 when it
    // is checked.
    void chkDontShow_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Picture1;
    QLabel* Label1;
    QLabel* lblTipText;
    QCheckBox* chkDontShow;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void formUnload() override;

private:
    Preference preference_;
    Qt::CursorShape previousPointer_ = Qt::ArrowCursor;
};

} // namespace lentaro
