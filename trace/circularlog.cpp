#include "trace/circularlog.h"

namespace lentaro {

namespace {

// The longest prefix of `bytes` of at most `limit` bytes that ends on a character boundary.
QByteArray cutAtCharacter(const QByteArray& bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes;
    qsizetype end = limit;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    return bytes.left(end);
}

} // namespace

bool CircularLog::open(const QString& path, int recordSize, int maxRecords)
{
    recordSize_ = recordSize;
    maxRecords_ = maxRecords;
    next_ = 0;
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadWrite))
        return false;
    file_.write(circularLogHeader, sizeof circularLogHeader - 1);
    file_.flush();
    return true;
}

void CircularLog::write(const QString& line)
{
    if (!file_.isOpen())
        return;
    if (next_ > maxRecords_)
        next_ = 1;

    QByteArray text = line.toUtf8();
    if (text.endsWith("\r\n"))
        text.chop(2);
    const qsizetype width = recordSize_ - 2;
    QByteArray record = cutAtCharacter(text, width);
    record.append(width - record.size(), ' ');
    record.append("\r\n");

    const qint64 position =
        static_cast<qint64>(recordSize_) * next_ + qint64(sizeof circularLogHeader - 1);
    if (file_.seek(position)) {
        file_.write(record);
        // Each record reaches the operating system before the traced program goes on.
        file_.flush();
    }
    ++next_;
}

} // namespace lentaro
