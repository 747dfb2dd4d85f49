#pragma once

#include <QString>

#include <vector>

namespace lentaro {

// A read-only settings file of [sections] and key=value lines. Section and key names match
// without regard to case; when a name occurs twice the first occurrence wins. Values lose
// surrounding blanks and one pair of surrounding quotes; lines starting with ';' are comments.
class IniFile
{
public:
    // A missing or unreadable file gives an empty IniFile whose exists() is false; so does
    // anything but a regular file (a named pipe, a device, a folder ...) and a file too large
    // to be a settings file (platform/registry/SettingsFile.h), which are never waited on or
    // read whole.
    static IniFile read(const QString& path);

    bool exists() const { return exists_; }

    // The value, or fallback when the file has no such key; either is cut to maxChars characters.
    QString value(const QString& section, const QString& key, const QString& fallback,
                  int maxChars) const;

private:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };

    std::vector<Entry> entries_;
    bool exists_ = false;
};

} // namespace lentaro
