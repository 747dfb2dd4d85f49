#include "app/settingsproblems.h"

#include "app/programstate.h"
#include "platform/forms/prompts.h"

namespace lentaro {

namespace {

QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

QString damageText(const registry::Result& result)
{
    if (!result.keptAs.empty()) {
        return QStringLiteral("Lentaro's settings file %1 was damaged. It has been kept as %2, "
                              "and Lentaro is using its default settings.")
            .arg(pathText(result.damagedFile), pathText(result.keptAs));
    }
    return QStringLiteral("Lentaro cannot read its settings file %1 and has left it as it is. "
                          "Lentaro is using its default settings and cannot save changes to "
                          "them until that file is removed.")
        .arg(pathText(result.damagedFile));
}

QString saveFailureText(const registry::Result& result)
{
    return QStringLiteral("Lentaro could not save its settings, so changes to them may be lost "
                          "when it closes.\n\n%1")
        .arg(QString::fromStdString(result.message));
}

void showOnce(bool& shown, const QString& text)
{
    if (shown)
        return;
    // Marked first: the box runs an event loop in which another settings call may fail.
    shown = true;
    forms::MsgBox(text, forms::Buttons::OkOnly, forms::Icon::Exclamation);
}

// A damaged file is told whichever call met it; its text already says whether changes can be
// saved, so a save refused for the same damage needs no second box.
bool reportedDamage(const registry::Result& result)
{
    if (result.status != registry::Status::HiveDamaged)
        return false;
    showOnce(programState().settingsDamageShown, damageText(result));
    return true;
}

} // namespace

const registry::Result& reportedRead(const registry::Result& result)
{
    reportedDamage(result);
    return result;
}

const registry::Result& reportedSave(const registry::Result& result)
{
    if (!reportedDamage(result)
        && (result.status == registry::Status::IoError
            || result.status == registry::Status::LockTimeout)) {
        showOnce(programState().settingsSaveFailureShown, saveFailureText(result));
    }
    return result;
}

} // namespace lentaro
