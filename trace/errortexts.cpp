#include "trace/errortexts.h"

#include "platform/shell/executablename.h"
#include "platform/shell/programfolder.h"
#include "trace/buildversion.h"

#include <QDateTime>
#include <QLocale>

#include <initializer_list>

namespace lentaro {

namespace {

struct NumberRange {
    std::int32_t first;
    std::int32_t last;
};

struct CategoryRule {
    std::initializer_list<NumberRange> ranges;
    std::int16_t code;
};

// Tried in order; the first rule that holds wins (70 is a network error, not a file error).
const CategoryRule categoryRules[] = {
    {{{35600, 35618}}, 64},
    {{{40000, 40059}}, 65},
    {{{40500, 40516}}, 66},
    {{{3452, 3453}, {3455, 3461}, {3463, 3463}, {3465, 3465}, {3472, 3472}, {3485, 3492},
      {3499, 3499}, {3510, 3510}, {3515, 3515}, {3520, 3520}, {3532, 3533}, {3545, 3546},
      {3548, 3550}, {3552, 3553}, {3559, 3561}, {3566, 3566}, {3569, 3569}, {3572, 3572},
      {3574, 3577}, {3584, 3584}, {3592, 3595}, {3605, 3605}, {3607, 3607}, {3626, 3626}},
     63},
    {{{3, 46}, {50, 51}, {454, 455}}, 2},
    {{{3006, 3006},
      {3008, 3009},
      {3045, 3046},
      {3050, 3052},
      {3186, 3189},
      {3196, 3197},
      {3211, 3212},
      {3218, 3218},
      {3225, 3225},
      {3260, 3261}},
     59},
    {{{70, 70}}, 60},
    {{{47, 49},
      {52, 76},
      {452, 453},
      {708, 708},
      {712, 713},
      {716, 716},
      {719, 719},
      {722, 722},
      {725, 725},
      {730, 731}},
     3},
    {{{91, 95}}, 4},
    {{{280, 298}}, 5},
    {{{260, 260}, {320, 394}}, 6},
    {{{400, 404}, {426, 426}}, 7},
    {{{420, 425}}, 8},
    {{{429, 430}, {432, 432}, {438, 438}, {440, 440}, {442, 443}, {445, 451}, {458, 458}}, 13},
    {{{460, 461}, {520, 521}}, 9},
    {{{480, 481}, {485, 485}}, 10},
    {{{482, 484}}, 11},
    {{{457, 457}, {600, 646}}, 46},
    {{{2420, 2448}, {3000, 3463}, {3608, 3622}}, 54},
    {{{708, 785}}, 12},
    {{{30000, 30019}, {32001, 32015}}, 45},
    {{{31003, 31004},
      {31006, 31009},
      {31017, 31019},
      {31021, 31024},
      {31026, 31029},
      {31031, 31039}},
     57},
    {{{20476, 20478}, {24574, 24574}, {28660, 28671}, {32751, 32766}}, 47},
    {{{31999, 32767}}, 14},
};

const char* categoryTextOf(std::int16_t code)
{
    switch (code) {
    case 2:
        return "General run-time";
    case 3:
        return "File System (disk, directory or file) access";
    case 4:
        return "Non-initialzed object or variant";
    case 5:
        return "Dynamic Data Exchange protocol";
    case 6:
        return "Form, control, property or object value";
    case 7:
        return "Form or MDI child form";
    case 8:
        return "Object reference";
    case 9:
        return "Clipboard access or format";
    case 10:
        return "Picturebox or image control";
    case 11:
        return "Printer access";
    case 12:
        return "Design-time";
    case 13:
        return "Object Linking and Embedding";
    case 14:
        return "Custom Control or user defined";
    case 15:
        return "User defined ";
    case 45:
        return "Grid control";
    case 46:
        return "ODBC";
    case 47:
        return "Common Dialog";
    case 54:
        return "Data Access";
    case 56:
        return "Object";
    case 57:
        return "OLE Container Control";
    case 59:
        return "ODBC Network";
    case 60:
        return "Network ";
    case 62:
        return "Remote OLE Automation";
    case 63:
        return "Replication";
    case 64:
        return "Windows 95 Custom Control";
    case 65:
        return "Remote Data Object (RDO)";
    case 66:
        return "Remote Data Control (RDC)";
    default:
        return "Unknown Error Class";
    }
}

const char* fixedMessageText(int n)
{
    switch (n) {
    case 1:
        return "] END PROGRAM ";
    case 16:
        return " error";
    case 17:
        return " <unavailable: line numbers not used>";
    case 18:
        return "<< ERROR >>";
    case 19:
        return "Module    ";
    case 21:
        return "The error handler was not initialized before a call to 'sxPOP()' was made.";
    case 22:
        return "The program is too deeply nested. The error handler can only handle 1000 levels "
               "of recursion.";
    case 23:
        return "generated error";
    case 24:
        return " - Internal Error Handler";
    case 25:
        return "An internal error ";
    case 26:
        return " has occurred in module SENTRIX, procedure pfErr(), line ";
    case 27:
        return "Error Information";
    case 28:
        return "Call Tree & Arguments";
    case 29:
        return "System State Information";
    case 30:
        return "Procedure";
    case 32:
        return "Sentrix(tm) : Program START";
    case 33:
        return "START PROGRAM";
    case 34:
        return "Program Error Intercepted";
    case 35:
        return "Line Number ";
    case 36:
        return "Error No. ";
    case 37:
        return "Description ";
    case 38:
        return "Category ";
    case 39:
        return " bytes";
    case 40:
        return "YES";
    case 41:
        return "NO";
    case 42:
        return "&Continue";
    case 43:
        return "&Go to";
    case 44:
        return "&Break to";
    case 48:
        return "Procedure is unbalanced or contains calls to unbalanced routines. ";
    case 49:
        return "'sxPOP()' was called without 'sxPUSH()'. ";
    case 50:
        return "Choose OK to stop in the debugger.";
    case 51:
        return "Choose CANCEL to continue with program.";
    case 52:
        return "Windows is in 'Standard' mode. Microsecond timer resolution only available under "
               "Windows 'Enhanced' mode. Using millisecond timer resolution.";
    case 53:
        return "Sentrix";
    case 55:
        return "&More";
    case 58:
        return "trappable errors";
    case 61:
        return "Source ";
    default:
        return "";
    }
}

QString captureLine(const char* what)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + now.time().toString(QStringLiteral("HH:mm:ss")) + QLatin1String(what)
           + runtimeVersionText() + QStringLiteral(" data capture");
}

} // namespace

std::int16_t pfErrorCategory(std::int32_t number)
{
    for (const CategoryRule& rule : categoryRules) {
        for (const NumberRange& range : rule.ranges) {
            if (number >= range.first && number <= range.last)
                return rule.code;
        }
    }
    return number < 0 ? 62 : 15;
}

QString pfCategoryText(std::int16_t code)
{
    return QString::fromLatin1(categoryTextOf(code));
}

QString runtimeVersionText()
{
    return QStringLiteral("6.6 (C++17 and Qt 6 on Linux)");
}

QString pfMessageText(int n)
{
    switch (n) {
    case 20:
        return captureLine(" - start Sentrix client v");
    case 31:
        return captureLine(" - stop Sentrix client v");
    case 62:
        return programFolder() + QLatin1Char('/') + executableName() + QStringLiteral(" ver ")
               + QStringLiteral(LENTARO_VERSION_TEXT);
    default:
        return QString::fromLatin1(fixedMessageText(n));
    }
}

} // namespace lentaro
