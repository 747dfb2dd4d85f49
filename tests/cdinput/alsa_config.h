#pragma once

#include "tests/cdinput/fake_alsa_card.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace kv::test {

// The control device "lentaro_fake" shows the fake card (FakeAlsaCard.h).
inline std::string fakeCardDevice() {
  return std::string(
             "ctl.lentaro_fake { type lentaro_fake }\n"
             "ctl_type.lentaro_fake { lib \"") +
         FAKE_ALSA_CARD_LIBRARY + "\" }\n";
}

// Runs a test with ALSA reading only the configuration the test gives it, starting with an
// empty fake card; the machine's own configuration is back afterwards.
class AlsaConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setFakeCard({});
    if (const char* previous = std::getenv("ALSA_CONFIG_PATH")) m_previous = previous;
    std::string pattern = (std::filesystem::temp_directory_path() / "lentaro-alsa-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_folder = pattern;
  }

  void TearDown() override {
    if (m_previous)
      ::setenv("ALSA_CONFIG_PATH", m_previous->c_str(), 1);
    else
      ::unsetenv("ALSA_CONFIG_PATH");
    // ALSA keeps the configuration it read and the plugins it loaded until told otherwise.
    snd_config_update_free_global();
    std::filesystem::remove_all(m_folder);
  }

  void useAlsaConfig(const std::string& text) {
    const std::filesystem::path file = m_folder / "asound.conf";
    std::ofstream(file) << text;
    ::setenv("ALSA_CONFIG_PATH", file.c_str(), 1);
  }

 private:
  std::filesystem::path m_folder;
  std::optional<std::string> m_previous;
};

}  // namespace kv::test
