#pragma once

#include <QString>

namespace lentaro {

// The product's web site (the About box's web button, the hints, the Internet menu).
inline const QString productWebAddress = QStringLiteral("https://lentaro.org");

// Where the free PDF reader the manual needs is downloaded (the help command's message).
inline const QString pdfReaderWebAddress = QStringLiteral("https://get.adobe.com/reader/");

// The page that lists CD-ROM drives that read audio digitally.
inline const QString digitalDrivesWebAddress =
    QStringLiteral("https://lentaro.org/digital-cd-drives");

// Where the messages that ask the user to report a fault send them.
inline const QString supportEmailAddress = QStringLiteral("support@lentaro.org");

// The product's answers to frequent questions (digital recording not available, and so on).
inline const QString faqWebAddress = productWebAddress + QStringLiteral("/faq.htm");

} // namespace lentaro
