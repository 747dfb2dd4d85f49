#pragma once

#include <QString>

namespace lentaro {

// Makes target a copy of source, replacing what is there: the copy is written beside target
// under a temporary name and renamed over it, so target is at every moment either what it was
// or the whole copy. The copy is writable by its owner. A failure throws (a file-system error,
// which a trace scope's trap reads as the run-time error it stands for) and removes the
// temporary copy.
void replaceWithCopy(const QString& source, const QString& target);

} // namespace lentaro
