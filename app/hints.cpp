#include "app/hints.h"

#include "app/frmHint.h"
#include "app/hinttexts.h"
#include "app/preferencetext.h"
#include "app/programstate.h"
#include "platform/forms/formregistry.h"
#include "trace/tracescope.h"

#include <QCheckBox>
#include <QLabel>

namespace lentaro {

namespace {

bool switchedOff(const QVariant& value)
{
    return booleanOf(value.toString()) == false;
}

} // namespace

bool ShowHint(const QString& hintID, bool forceIt)
{
    TraceScope trace("CdglobalIntl", "Function ShowHint",
                     {{"hintID", hintID}, {"forceIt", forceIt}});
    return trace.run(false, [&] {
        auto& hint = forms::loadForm<frmHint>();
        hint.hintPreference().setPreferenceName(hintID);
        if (switchedOff(hint.hintPreference().Value())) {
            if (!forceIt) {
                hint.unload();
                return true;
            }
            hint.chkDontShow->setChecked(true);
        }
        if (const auto text = hintText(hintID))
            hint.lblTipText->setText(*text);
        // Only Continue says yes; a close from the title bar is a Cancel.
        programState().gvHintAnswer = false;
        hint.exec();
        return programState().gvHintAnswer;
    });
}

} // namespace lentaro
