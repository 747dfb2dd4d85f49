#include "app/frmHint.h"

#include "app/hinttexts.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "platform/forms/screencursor.h"
#include "trace/tracescope.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace lentaro {

namespace {

constexpr char module[] = "frmHint";

} // namespace

frmHint::frmHint() : forms::Form(QString::fromLatin1(formName))
{
    setWindowTitle(QStringLiteral("Lentaro Hint"));
    setFixedSize(540, 420);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    Label1 = new QLabel(QStringLiteral("Hint!"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 4);
    Label1->setFont(heading);
    lblTipText = new QLabel(defaultHintText, this);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chkDontShow = new QCheckBox(QStringLiteral("Don't show this again"), this);
    chkDontShow->setObjectName(QStringLiteral("chkDontShow"));
    cmdOK = new QPushButton(QStringLiteral("Continue"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* heading_row = new QHBoxLayout;
    heading_row->addWidget(Picture1);
    heading_row->addWidget(Label1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkDontShow, 1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading_row);
    layout->addWidget(lblTipText, 1);
    layout->addLayout(buttons);

    // Only the user's clicks count: checking the box from code stores nothing.
    connect(chkDontShow, &QCheckBox::clicked, this, &frmHint::chkDontShow_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmHint::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmHint::cmdCancel_Click);

    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        centerform(this);
        previousPointer_ = forms::screenMousePointer();
        forms::setScreenMousePointer(Qt::ArrowCursor);
    });
}

void frmHint::chkDontShow_Click()
{
    TraceScope trace(module, "Sub chkDontShow_Click");
    trace.run([&] {
        if (!preference_.PreferenceName().isEmpty())
            preference_.setValue(chkDontShow->isChecked() ? 0 : 1);
    });
}

void frmHint::cmdOK_Click()
{
    TraceScope trace(module, "Sub cmdOK_Click");
    trace.run([&] {
        programState().gvHintAnswer = true;
        unload();
    });
}

void frmHint::cmdCancel_Click()
{
    TraceScope trace(module, "Sub cmdCancel_Click");
    trace.run([&] {
        programState().gvHintAnswer = false;
        unload();
    });
}

void frmHint::formUnload()
{
    TraceScope trace(module, "Sub Form_Unload", {{"Cancel", 0}});
    trace.run([&] { forms::setScreenMousePointer(previousPointer_); });
}

} // namespace lentaro
