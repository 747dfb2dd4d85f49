#include "cd/discdamage.h"

#include "platform/cd/DriveList.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"

namespace lentaro {

void DiscDamageNotice::tellOnce(const mci::MMControl& CDControl)
{
    const QString letter = CDControl.fileName().left(1);
    cd::Drive* drive = letter.isEmpty() ? nullptr : cd::cdDrives().drive(letter.at(0).toLatin1());
    const std::string problem = drive ? drive->discProblem() : std::string();
    if (problem == told_)
        return;
    told_ = problem;
    if (!problem.empty())
        forms::MsgBox(QString::fromStdString(problem), forms::Buttons::OkOnly,
                      forms::Icon::Exclamation);
}

} // namespace lentaro
