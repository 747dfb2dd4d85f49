#pragma once

#include "trace/systemprobe.h"

#include <QString>

#include <cstdint>

namespace lentaro {

// Field numbers of the version information: 0 "Comments" to 11 "SpecialBuild".
enum VersionField {
    Comments = 0,
    InternalName = 1,
    ProductName = 2,
    CompanyName = 3,
    LegalCopyright = 4,
    ProductVersion = 5,
    FileDescription = 6,
    LegalTrademarks = 7,
    PrivateBuild = 8,
    FileVersion = 9,
    OriginalFilename = 10,
    SpecialBuild = 11,
};

// The field's name ("FileVersion"); empty for a number without one.
QString versionFieldName(int field);

// "2.0.15": this build's major, minor and revision numbers.
QString projectVersionText();

// The version information compiled into this build, as its executable `executablePath` carries it.
VersionResource ownVersionResource(const QString& executablePath);

// One field of a file's version information: "<Not Found>" when the file's information lacks
// it, empty when the file has none (every file but our own executable).
QString pfVersionInfoField(const SystemProbe& probe, const QString& path, int field);

// One line per loaded module: indent + 2 blanks, its path, its version fields and its
// creation date; CR LF after each. Just CR LF when no module is known.
QString pfModuleVersionLine(const SystemProbe& probe, int indent);

// kind 0: last access, 1: creation, 2: last write. Empty when the file or that date is unknown.
QString pfFileDateText(const SystemProbe& probe, const QString& path, int kind);

// "Linux 6.1.0  (Build #1 SMP ...) Debian GNU/Linux 12 (bookworm)"; empty when unknown.
QString pfWindowsVersionText(const SystemProbe& probe);

// The value in upper-case hexadecimal, padded with "0" to 8 digits, then its last `width` digits.
QString pfHex8(std::uint32_t value, int width);

// The text before its first NUL character; the whole text when it has none.
QString pfCString(const QString& text);

} // namespace lentaro
