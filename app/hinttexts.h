#pragma once

#include <QString>

#include <optional>

namespace lentaro {

// The text of a hint; nothing for an identifier that has none.
std::optional<QString> hintText(const QString& hintID);

// The text the hint window shows before a hint's own text replaces it.
extern const QString defaultHintText;

} // namespace lentaro
