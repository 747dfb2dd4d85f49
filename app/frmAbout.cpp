#include "app/frmAbout.h"

#include "app/webaddresses.h"
#include "app/windowhelpers.h"
#include "platform/forms/applicationtitle.h"
#include "platform/shell/urlopener.h"
#include "trace/tracescope.h"
#include "trace/versioninfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace lentaro {

namespace {

constexpr char module[] = "frmAbout";

} // namespace

frmAbout::frmAbout() : forms::Form(QString::fromLatin1(formName))
{
    setFixedSize(420, 220);

    lblTitle = new QLabel(forms::applicationTitle(), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(titleFont.pointSize() * 2);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    Label1 = new QLabel(QStringLiteral("TM"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("Visit our Web site"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblTitle, 0, 0, Qt::AlignRight);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(lblVersion, 1, 0, 1, 2, Qt::AlignCenter);
    layout->addWidget(Command1, 2, 0, Qt::AlignRight);
    layout->addWidget(cmdOK, 2, 1);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        centerform(this);
        setWindowTitle(QStringLiteral("About ") + forms::applicationTitle());
        lblVersion->setText(QStringLiteral("Version ") + projectVersionText());
    });
}

void frmAbout::showButtons(bool newVisibleState)
{
    TraceScope trace(module, "Sub showButtons", {{"newVisibleState", newVisibleState}});
    trace.run([&] {
        cmdOK->setVisible(newVisibleState);
        Command1->setVisible(newVisibleState);
    });
}

void frmAbout::cmdOK_Click()
{
    TraceScope trace(module, "Sub cmdOK_Click");
    trace.run([&] { unload(); });
}

void frmAbout::Command1_Click()
{
    TraceScope trace(module, "Sub Command1_Click");
    trace.run([&] {
        urlOpener().open(QUrl(productWebAddress));
        unload();
    });
}

} // namespace lentaro
