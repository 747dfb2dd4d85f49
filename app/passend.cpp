#include "app/passend.h"

#include "app/userinterfacethread.h"

namespace lentaro {

namespace {

class NoMainWindow : public PassEndReceiver
{
public:
    void passEnded(std::int32_t) override {}
};

} // namespace

Service<PassEndReceiver> passEndReceiver{madeAtFirstUse<NoMainWindow>};

void handOverPassEnd(std::int32_t result)
{
    // The receiver is looked up there, not here: the main window may come or go meanwhile.
    postToUserInterface([result] { passEndReceiver().passEnded(result); });
}

} // namespace lentaro
