#pragma once

#include <QString>

namespace lentaro {

// temp.wav, the loop cut or recorded for the slow-down road, in the program folder.
QString tempWav();
// tempslow.wav, the engine's output, in the program folder.
QString tempSlowWav();

// temp.wav and tempslow.wav belong to the slow-down road: no file the user names may be one of
// them, wherever a path names them (any letter case).
bool namesWorkingFile(const QString& path);

// Tells the user to choose another name than a working file's.
void refuseWorkingName();

} // namespace lentaro
