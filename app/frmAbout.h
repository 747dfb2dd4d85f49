#pragma once

#include "platform/forms/form.h"

#include <QString>

class QLabel;
class QPushButton;

namespace lentaro {

// The About box, and the splash while the main window loads: the same window with its buttons
// hidden (showButtons(false)), shown modeless. Each load starts with both buttons visible.
class frmAbout : public forms::Form
{
    Q_OBJECT

public:
    static constexpr const char* formName = "frmAbout";

    frmAbout();

    void showButtons(bool newVisibleState);
    void cmdOK_Click();
    // Opens the maker's web site, then unloads.
    void Command1_Click();

    QLabel* lblTitle;
    QLabel* Label1;
    QLabel* lblVersion;
    QPushButton* cmdOK;
    QPushButton* Command1;
};

} // namespace lentaro
