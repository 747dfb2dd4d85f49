#pragma once

namespace lentaro {

// Runs `step` and drops whatever it throws: the steps where the window must go on whatever fails
// (coming up, switching views, the transport's reports).
template <typename Step>
void ignoringErrors(Step&& step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace lentaro
