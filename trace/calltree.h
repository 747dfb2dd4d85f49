#pragma once

#include "trace/errorreport.h"

#include <QString>

#include <vector>

namespace lentaro {

// One line of an error's call tree: a running procedure (Call), the procedure the error
// happened in (Trap, after that procedure's Call line) or the error itself when no stored
// procedure is the one that failed (Error, at the end).
struct CallTreeLine {
    enum class Tag { Call, Trap, Error };

    Tag tag = Tag::Call;
    int nesting = 0; // 0 for the outermost procedure
    QString text;    // "frmTrim : Sub Form_Load : ()" or "Runtime error 11, Division by zero"
};

// The call tree of an error report, outermost procedure first.
std::vector<CallTreeLine> callTreeLines(const ErrorReport& report);

// " : Call", " : Trap" or " : Error".
QString callTreeTagText(CallTreeLine::Tag tag);

// "Runtime error 11, Division by zero", with " on line 12" when the error has a line number.
QString runtimeErrorText(const ErrorRecord& error, bool withLine);

} // namespace lentaro
