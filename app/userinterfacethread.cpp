#include "app/userinterfacethread.h"

#include "app/programstate.h"
#include "platform/shell/uihandover.h"

#include <utility>

namespace lentaro {

void postToUserInterface(std::function<void()> work)
{
    UiHandOver::postProgramWide([work = std::move(work)] {
        if (!programState().gvExiting)
            work();
    });
}

} // namespace lentaro
