#include "app/tooltips.h"

#include "app/programstate.h"
#include "trace/tracescope.h"

#include <QVariant>
#include <QWidget>

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";
const char* const stashProperty = "lentaroStashedToolTip";
const char* const hiddenProperty = "lentaroToolTipsHidden";

QString formName(QWidget* form)
{
    return form ? form->objectName() : QString();
}

// Every widget inside the form; objects without a tooltip (timers, actions) are not widgets.
template <typename Step>
void forEachControl(QWidget* form, Step step)
{
    if (!form)
        return;
    for (QWidget* control : form->findChildren<QWidget*>())
        step(*control);
}

bool hasStash(const QWidget& control)
{
    return control.property(stashProperty).isValid();
}

void stash(QWidget& control)
{
    control.setProperty(stashProperty, control.toolTip());
}

} // namespace

void stashTooltips(QWidget* form)
{
    TraceScope trace(module, "Sub stashTooltips", {{"form", formName(form)}});
    trace.run([&] {
        if (form && form->property(hiddenProperty).toBool())
            return;
        forEachControl(form, [](QWidget& control) { stash(control); });
    });
}

void hideTooltips(QWidget* form)
{
    TraceScope trace(module, "Sub hideTooltips", {{"form", formName(form)}});
    trace.run([&] {
        forEachControl(form, [](QWidget& control) {
            if (!hasStash(control))
                stash(control);
            control.setToolTip(QString());
        });
        if (form)
            form->setProperty(hiddenProperty, true);
    });
}

void showTooltips(QWidget* form)
{
    TraceScope trace(module, "Sub showTooltips", {{"form", formName(form)}});
    trace.run([&] {
        forEachControl(form, [](QWidget& control) {
            if (hasStash(control))
                control.setToolTip(control.property(stashProperty).toString());
        });
        if (form)
            form->setProperty(hiddenProperty, false);
    });
}

void checkTooltips(QWidget* form)
{
    TraceScope trace(module, "Sub checkTooltips", {{"form", formName(form)}});
    trace.run([&] {
        if (programState().gvShowTooltips)
            showTooltips(form);
        else
            hideTooltips(form);
    });
}

} // namespace lentaro
