#include "app/messageForm.h"

#include "app/windowhelpers.h"
#include "platform/forms/windowhandles.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lentaro {

namespace {

constexpr char module[] = "messageForm";

} // namespace

messageForm::messageForm() : forms::Form(QString::fromLatin1(formName))
{
    setWindowTitle(QStringLiteral("Make Loop Points"));
    setFixedSize(360, 90);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(QFont(QStringLiteral("Arial"), 10));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);

    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        centerform(this);
        formEx_ = std::make_unique<CFormEx>();
        formEx_->Init(forms::windowHandle(this));
        formEx_->setOnTop(true);
    });
}

void messageForm::formUnload()
{
    TraceScope trace(module, "Sub Form_Unload", {{"Cancel", 0}});
    trace.run([&] { formEx_.reset(); });
}

} // namespace lentaro
