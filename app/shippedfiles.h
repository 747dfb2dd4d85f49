#pragma once

#include "platform/shell/programfolder.h"

#include <QString>

namespace lentaro {

// The folder of the files the program ships with (the template database and the like):
// share/lentaro beside the executable's folder. An installed <prefix>/bin/lentaro finds
// <prefix>/share/lentaro; in a build tree every executable lands in <build>/bin and the build
// puts these files in <build>/share/lentaro, so the same rule serves both.
QString shippedFolder();

// Copies each shipped file (sub-folders included) that the target folder lacks, and never
// replaces a file that is there, but for the manual, which is replaced when the shipped one
// differs (a later build's manual over an earlier one's). A copy is made under a temporary name and renamed into place,
// so an interrupted copy never looks finished; copies are writable by their owner. A missing
// shipped folder or a failed copy is a run-time error. True when every shipped file exists in
// the target afterwards.
bool copyShippedFiles(const QString& from = shippedFolder(), const QString& to = programFolder());

} // namespace lentaro
