#include "platform/audio/src/Environment.h"

#include "platform/audio/WaveFileSink.h"
#include "platform/audio/WaveFileSource.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace lentaro::audio {

namespace {

std::string_view variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

Status backendFromEnvironment(Backend& backend) {
  const std::string_view text = variable("LENTARO_AUDIO");
  if (text.empty()) {
    backend = Backend::PortAudio;
    return {};
  }
  if (text == "null") {
    backend = Backend::Null;
    return {};
  }
  backend = Backend::PortAudio;
  return Status::failure(Error::BadConfiguration,
                         "LENTARO_AUDIO is \"null\" or unset, not \"" + std::string(text) + "\"");
}

Status speedFromEnvironment(double& speed) {
  const std::string_view text = variable("LENTARO_AUDIO_SPEED");
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

Status captureFromEnvironment(std::shared_ptr<FrameSink>& sink) {
  const std::string_view path = variable("LENTARO_AUDIO_CAPTURE");
  if (path.empty()) return {};
  try {
    sink = std::make_shared<WaveFileSink>(std::string(path));
  } catch (const std::runtime_error& error) {
    return Status::failure(Error::BadConfiguration, std::string("LENTARO_AUDIO_CAPTURE: ") + error.what());
  }
  return {};
}

Status sourceFromEnvironment(std::shared_ptr<FrameSource>& source) {
  const std::string_view path = variable("LENTARO_AUDIO_SOURCE");
  if (path.empty()) return {};
  try {
    source = std::make_shared<WaveFileSource>(std::string(path));
  } catch (const std::runtime_error& error) {
    return Status::failure(Error::BadConfiguration, std::string("LENTARO_AUDIO_SOURCE: ") + error.what());
  }
  return {};
}

}  // namespace lentaro::audio
