#pragma once

#include <array>

namespace lentaro::mci {

// The dispatch numbers the control's members were once driven by, late bound, and the member of
// MMControl each stands for. Nothing calls by number; the table lets a reader who meets such a
// number find the member that does its work.
struct DispatchId {
    int id;
    const char* member;
};

constexpr std::array<DispatchId, 20> dispatchIds{{
    {0x02, "isEnabled / setEnabled (the whole bar)"},
    {0x12, "autoEnable / setAutoEnable"},
    {0x13, "buttonEnabled / setButtonEnabled(Button::Record)"},
    {0x16, "fileName / setFileName"},
    {0x17, "command / setCommand"},
    {0x18, "notify / setNotify"},
    {0x19, "wait / setWait"},
    {0x1C, "errorMessage"},
    {0x1D, "from / setFrom"},
    {0x1E, "to / setTo"},
    {0x23, "mode"},
    {0x24, "length"},
    {0x27, "timeFormat / setTimeFormat"},
    {0x29, "track / setTrack"},
    {0x2A, "tracks"},
    {0x2B, "trackLength"},
    {0x2C, "trackPosition"},
    {0x2D, "updateInterval / setUpdateInterval"},
    {0x35, "error"},
    // The device identifier served a direct format call; setWaveFormat does that work.
    {0x36, "setWaveFormat"},
}};

// Each number once, in order, so a reader finds a number where it belongs.
constexpr bool ascending()
{
    for (std::size_t i = 1; i < dispatchIds.size(); ++i) {
        if (dispatchIds[i - 1].id >= dispatchIds[i].id)
            return false;
    }
    return true;
}
static_assert(ascending(), "dispatch numbers are listed once each, in ascending order");

// The Boolean that a view sets when its device goes live, and that the plain end of a wave
// command sets again, went by no number: it is autoEnable, so the buttons follow the device once
// more.

} // namespace lentaro::mci
