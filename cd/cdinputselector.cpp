#include "cd/cdinputselector.h"

#include "cdinput/dunmarra.h"

namespace lentaro {

namespace {

class DunmarraSelector : public CdInputSelector
{
public:
    std::int32_t SelectCDInput() override { return ::SelectCDInput(); }
};

} // namespace

Service<CdInputSelector> cdInputSelector{madeAtFirstUse<DunmarraSelector>};

} // namespace lentaro
