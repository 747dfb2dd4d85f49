#include "app/programstate.h"

namespace lentaro {

ProgramState& programState()
{
    static ProgramState state;
    return state;
}

} // namespace lentaro
