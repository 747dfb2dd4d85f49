#include "platform/forms/applicationtitle.h"

namespace lentaro::forms {

QString applicationTitle()
{
    return QStringLiteral(LENTARO_PRODUCT_NAME);
}

} // namespace lentaro::forms
