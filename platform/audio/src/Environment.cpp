#include "Environment.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace lentaro::audio {

Status backendFromEnvironment(Backend& backend) {
    const char* value = std::getenv("LENTARO_AUDIO");
    const std::string_view text = value != nullptr ? value : "";
    if (text.empty()) {
        backend = Backend::PortAudio;
        return {};
    }
    if (text == "null") {
        backend = Backend::Null;
        return {};
    }
    return Status::failure(Error::BadConfiguration,
                           "LENTARO_AUDIO is \"null\" or unset, not \"" + std::string(text) + "\"");
}

Status speedFromEnvironment(double& speed) {
    const char* value = std::getenv("LENTARO_AUDIO_SPEED");
    const std::string_view text = value != nullptr ? value : "";
    if (text.empty()) {
        speed = 1;
        return {};
    }
    if (text == "max") {
        speed = 0;
        return {};
    }
    // from_chars reads the same whatever the locale, which the program sets for its windows.
    double parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed) || parsed < 0)
        return Status::failure(Error::BadConfiguration, "LENTARO_AUDIO_SPEED is a number of 0 or more, or \"max\", not \"" +
                                                            std::string(text) + "\"");
    speed = parsed;
    return {};
}

}  // namespace lentaro::audio
