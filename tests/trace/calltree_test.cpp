#include "tests/trace/trace_fixture.h"

#include "trace/calltree.h"

namespace lentaro::test {
namespace {

using Tag = CallTreeLine::Tag;

struct ExpectedLine {
    Tag tag;
    int nesting;
    const char* text;
};

ErrorReport reportOf(std::vector<CallEntry> calls, const QString& module, const QString& procedure,
                     int lineNumber = 0)
{
    ErrorReport report;
    report.calls = std::move(calls);
    report.error.number = 11;
    report.error.description = QStringLiteral("Division by zero");
    report.error.module = module;
    report.error.procedure = procedure;
    report.error.lineNumber = lineNumber;
    return report;
}

const CallEntry mainEntry{"frmMain", "Sub Main", "()"};
const CallEntry loadEntry{"frmTrim", "Sub Form_Load", "(Cancel=0)"};

TEST(CallTree, MarksTheFailingProcedureAndOnlyThatOne)
{
    const struct {
        const char* name;
        ErrorReport report;
        std::vector<ExpectedLine> lines;
    } cases[] = {
        {"the innermost procedure failed",
         reportOf({mainEntry, loadEntry}, "frmTrim", "Sub Form_Load"),
         {{Tag::Call, 0, "frmMain : Sub Main : ()"},
          {Tag::Call, 1, "frmTrim : Sub Form_Load : (Cancel=0)"},
          {Tag::Trap, 1, "Runtime error 11, Division by zero"}}},
        {"a line number is shown on the Trap line",
         reportOf({loadEntry}, "frmTrim", "Sub Form_Load", 12),
         {{Tag::Call, 0, "frmTrim : Sub Form_Load : (Cancel=0)"},
          {Tag::Trap, 0, "Runtime error 11, Division by zero on line 12"}}},
        {"one level that is not the failing procedure still gets the Error line",
         reportOf({mainEntry}, "frmTrim << frmMain", "Sub Form_Load << Sub Main"),
         {{Tag::Call, 0, "frmMain : Sub Main : ()"},
          {Tag::Error, 0, "Runtime error 11, Division by zero"}}},
        {"a procedure whose name merely contains the failing one is another procedure",
         reportOf({mainEntry, {"frmTrim", "Sub Form_Load2", "()"}}, "frmTrim",
                  "Sub Form_Load << Sub Form_Load2"),
         {{Tag::Call, 0, "frmMain : Sub Main : ()"},
          {Tag::Call, 1, "frmTrim : Sub Form_Load2 : ()"},
          {Tag::Error, 1, "Runtime error 11, Division by zero"}}},
        {"so is a module whose name merely ends in the failing one",
         reportOf({{"XfrmTrim", "Sub Form_Load", "()"}}, "frmTrim << XfrmTrim", "Sub Form_Load"),
         {{Tag::Call, 0, "XfrmTrim : Sub Form_Load : ()"},
          {Tag::Error, 0, "Runtime error 11, Division by zero"}}},
        {"a failing caller is trapped where it stands and the error closes the tree",
         reportOf({mainEntry, loadEntry}, "frmMain", "Sub Main"),
         {{Tag::Call, 0, "frmMain : Sub Main : ()"},
          {Tag::Trap, 0, "Runtime error 11, Division by zero"},
          {Tag::Call, 1, "frmTrim : Sub Form_Load : (Cancel=0)"},
          {Tag::Error, 1, "Runtime error 11, Division by zero"}}},
        {"recursion traps the deepest level only",
         reportOf({loadEntry, loadEntry}, "frmTrim", "Sub Form_Load"),
         {{Tag::Call, 0, "frmTrim : Sub Form_Load : (Cancel=0)"},
          {Tag::Call, 1, "frmTrim : Sub Form_Load : (Cancel=0)"},
          {Tag::Trap, 1, "Runtime error 11, Division by zero"}}},
        {"an error outside every traced procedure",
         reportOf({}, "QPushButton", "Event MouseButtonPress"),
         {{Tag::Error, 0, "Runtime error 11, Division by zero"}}},
        {"tabs in an entry read as blanks",
         reportOf({{"frmTrim", "Sub Form_Load", "(text=a\tb)"}}, "frmTrim", "Sub Form_Load"),
         {{Tag::Call, 0, "frmTrim : Sub Form_Load : (text=a b)"},
          {Tag::Trap, 0, "Runtime error 11, Division by zero"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<CallTreeLine> lines = callTreeLines(c.report);
        ASSERT_EQ(lines.size(), c.lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].tag, c.lines[i].tag) << i;
            EXPECT_EQ(lines[i].nesting, c.lines[i].nesting) << i;
            EXPECT_EQ(lines[i].text, c.lines[i].text) << i;
        }
    }
}

} // namespace
} // namespace lentaro::test
