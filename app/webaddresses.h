#pragma once

#include <QString>

namespace lentaro {

// The product's web site (the About box's web button, the hints).
inline const QString productWebAddress = QStringLiteral("https://lentaro.org");

// The page that lists CD-ROM drives that read audio digitally.
inline const QString digitalDrivesWebAddress =
    QStringLiteral("https://lentaro.org/digital-cd-drives");

// Where the error messages that ask for a report send the user.
inline const QString supportEmailAddress = QStringLiteral("support@lentaro.org");

} // namespace lentaro
