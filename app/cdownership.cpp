#include "app/cdownership.h"

#include "platform/forms/prompts.h"
#include "trace/tracescope.h"

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";

class NoAnswer : public CdOwnershipQuery
{
public:
    std::optional<bool> heldElsewhere() override { return std::nullopt; }
};

} // namespace

Service<CdOwnershipQuery> cdOwnershipQuery{madeAtFirstUse<NoAnswer>};

void checkForCDOwnership()
{
    TraceScope trace(module, "Sub checkForCDOwnership");
    trace.run([&] {
        if (cdOwnershipQuery().heldElsewhere().value_or(false)) {
            forms::MsgBox(
                QStringLiteral("Another application has hold of the CD driver. Close that "
                               "application if you wish this one to gain control."));
        }
    });
}

} // namespace lentaro
