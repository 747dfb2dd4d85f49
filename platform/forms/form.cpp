#include "platform/forms/form.h"

#include "platform/forms/formregistry.h"

#include <QCloseEvent>

namespace lentaro::forms {

Form::Form(const QString& name)
{
    setObjectName(name);
    addLoadedForm(this);
}

Form::~Form()
{
    removeLoadedForm(this);
}

void Form::unload()
{
    if (unloading_)
        return;
    unloading_ = true;
    removeLoadedForm(this);
    formUnload();
    // Hiding ends a modal exec(); the handler that called us may still be on the stack.
    hide();
    deleteLater();
}

void Form::closeEvent(QCloseEvent* event)
{
    event->accept();
    unload();
}

void Form::reject()
{
    unload();
}

} // namespace lentaro::forms
