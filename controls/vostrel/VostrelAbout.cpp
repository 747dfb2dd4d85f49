#include "controls/vostrel/VostrelAbout.h"

#include "controls/vostrel/systeminfo.h"
#include "platform/forms/prompts.h"

#include <QGridLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

namespace lentaro {

VostrelAbout::VostrelAbout(QWidget* parent) : QDialog(parent)
{
    const QString titleText = QString::fromLatin1(title);
    setWindowTitle(QStringLiteral("About ") + titleText);
    lblTitle = new QLabel(titleText, this);
    lblVersion = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(version), this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblTitle, 0, 0, 1, 2);
    layout->addWidget(lblVersion, 1, 0, 1, 2);
    layout->addWidget(cmdOK, 2, 1);
    layout->addWidget(cmdSysInfo, 3, 1);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &VostrelAbout::cmdSysInfo_Click);
}

void VostrelAbout::cmdSysInfo_Click()
{
    const std::optional<QString> path = systemInfoPath();
    if (!path || !QProcess::startDetached(*path, {}))
        forms::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"),
                      forms::Buttons::OkOnly, forms::Icon::None, windowTitle());
}

} // namespace lentaro
