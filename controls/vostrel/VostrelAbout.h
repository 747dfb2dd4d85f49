#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace lentaro {

// The disc arrival control's About box: its title and version, OK, and a button that starts the
// system information tool the machine hive names.
class VostrelAbout : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* title = "Vostrel";
    static constexpr const char* version = "6.0.0";

    explicit VostrelAbout(QWidget* parent = nullptr);

    // Starts the tool, or says it is unavailable when no path is recorded or it does not start.
    void cmdSysInfo_Click();

    QLabel* lblTitle;
    QLabel* lblVersion;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
};

} // namespace lentaro
