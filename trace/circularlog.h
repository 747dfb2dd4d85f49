#pragma once

#include <QFile>
#include <QString>

#include <cstdint>

namespace lentaro {

// A trace log that overwrites itself: the header "CIRCULAR" CR LF, then records of a fixed
// byte size. Record 0 is the first line of a run; after record maxRecords the next line goes to
// record 1 again. The file is never truncated, so records of an earlier, longer run stay behind.
class CircularLog
{
public:
    // Opens (creating when missing) and writes the header; false when the file cannot be opened.
    bool open(const QString& path, int recordSize, int maxRecords);

    // Writes one line (its CR LF is dropped) as the next record: padded with blanks or cut to
    // recordSize - 2 bytes, never inside a UTF-8 character, then CR LF.
    void write(const QString& line);

private:
    QFile file_;
    int recordSize_ = 512;
    int maxRecords_ = 100;
    std::int32_t next_ = 0;
};

// The header every circular log starts with.
inline constexpr char circularLogHeader[] = "CIRCULAR\r\n";

} // namespace lentaro
