#pragma once

#include "tests/trace/fake_system_probe.h"

#include "trace/errorreport.h"

namespace lentaro::test {

// Error 11 in Sub Form_Load of frmTrim, called from Sub Main, as the handler reports it.
inline ErrorReport divisionByZeroReport(int lineNumber = 0)
{
    ErrorReport report;
    report.error.number = 11;
    report.error.description = QStringLiteral("Division by zero");
    report.error.source = QStringLiteral("Lentaro (local)");
    report.error.module = QStringLiteral("frmTrim");
    report.error.procedure = QStringLiteral("Sub Form_Load");
    report.error.category = QStringLiteral("General run-time error");
    report.error.lineNumber = lineNumber;
    report.depth = 2;
    report.calls = {{"frmMain", "Sub Main", "()"}, {"frmTrim", "Sub Form_Load", "(Cancel=0)"}};
    report.callTree = {QStringLiteral(" 1 : frmMain : Sub Main : ()"),
                       QStringLiteral(" 2 : \tfrmTrim : Sub Form_Load : (Cancel=0)")};
    report.userNote = QStringLiteral("I pressed Play twice");
    return report;
}

} // namespace lentaro::test
