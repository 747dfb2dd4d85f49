#pragma once

#include <string>

namespace lentaro {

namespace mci {
class MMControl;
}

// Tells the user why the disc in the CD control's drive cannot be used whole (a damaged disc
// image), once for each such reason: the CD display alone would show no disc, or a shorter one.
class DiscDamageNotice
{
public:
    void tellOnce(const mci::MMControl& CDControl);

private:
    std::string told_;
};

} // namespace lentaro
