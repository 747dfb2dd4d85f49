#pragma once

#include <QString>

namespace lentaro {

// The running executable's file name without folder and extension ("lentaro").
QString executableName();

} // namespace lentaro
