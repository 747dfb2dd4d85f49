#include "platform/mci/MciErrors.h"

namespace lentaro::mci {

Outcome notOpen()
{
    return Outcome::failure(errors::deviceNotReady, QStringLiteral("The device is not open."));
}

Outcome noDevice()
{
    return Outcome::failure(errors::deviceTypeRequired,
                            QStringLiteral("This control has no device to send the command to."));
}

Outcome outOfRange(const QString& what)
{
    return Outcome::failure(errors::outOfRange, what);
}

Outcome unsupported(const QString& what)
{
    return Outcome::failure(errors::unsupportedFunction,
                            QStringLiteral("The device cannot %1.").arg(what));
}

Outcome hardwareFailure(const audio::Status& status)
{
    const std::string detail =
        status.detail.empty() ? audio::errorText(status.error) : status.detail;
    return Outcome::failure(
        errors::hardware,
        QStringLiteral("The sound device cannot be used: %1").arg(QString::fromStdString(detail)));
}

} // namespace lentaro::mci
