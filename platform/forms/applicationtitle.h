#pragma once

#include <QString>

namespace lentaro::forms {

// The program's title ("Lentaro"): the caption of message boxes that name none.
QString applicationTitle();

} // namespace lentaro::forms
