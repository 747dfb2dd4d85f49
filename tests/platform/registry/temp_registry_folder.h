#pragma once

#include "platform/registry/WriteHook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace lentaro::registry {
namespace fs = std::filesystem;
}

namespace lentaro::registry::test {

inline fs::path makeTempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "lentaro-registry-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

inline std::string readBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// Each test gets a fresh, empty registry folder through LENTARO_REGISTRY_DIR.
class TempRegistryFolder : public ::testing::Test
{
protected:
    void SetUp() override { useFolder(makeTempFolder()); }

    void TearDown() override
    {
        setWriteHook(nullptr);
        ::unsetenv("LENTARO_REGISTRY_DIR");
        for (const fs::path& folder : m_made)
            fs::remove_all(folder);
    }

    // Moves the store to a copy of the current folder, so the next operations read the hive
    // files from disk instead of the copy in memory.
    void reopenFromDisk()
    {
        const fs::path copy = makeTempFolder();
        fs::copy(folder, copy, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        useFolder(copy);
    }

    fs::path userHive() const { return folder / "user.hive"; }
    fs::path machineHive() const { return folder / "machine.hive"; }

    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;

private:
    void useFolder(const fs::path& newFolder)
    {
        folder = newFolder;
        m_made.push_back(newFolder);
        ::setenv("LENTARO_REGISTRY_DIR", folder.c_str(), 1);
    }

    std::vector<fs::path> m_made;
};

} // namespace lentaro::registry::test
