#pragma once

namespace lentaro {

// Brings lentaro.mdb in the program folder up to the current schema: adds the fields later
// versions need (existing ones are left as they are) and turns the long binary fields WAV and
// Notation of Tracks and LoopPoints into memo fields, keeping what they hold (UTF-8 text as it
// is, other bytes one character each). All of it is one transaction: a step that fails, or a
// read-only file ("TableDef not Updatable!", shown once), leaves the file as it was.
// A file that cannot be opened is reported and the program exits (exitProgram).
// Returns true when every field exists, in its current type, afterwards.
bool AppendNewFields();

// Runs AppendNewFields when the preference dbVersion reads as a number below 7 (unset reads
// 0) and stores "7" once the schema is complete, so a failed upgrade is tried again at the
// next start. Returns true when the schema is current.
bool upgradeSchemaIfOld();

} // namespace lentaro
