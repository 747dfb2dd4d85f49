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

} // namespace lentaro::mci
