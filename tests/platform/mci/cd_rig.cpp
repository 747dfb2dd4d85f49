#include "tests/platform/mci/cd_rig.h"

#include "platform/cd/ImageDrive.h"
#include "platform/mci/CdAudioDevice.h"

#include <gtest/gtest.h>

namespace lentaro::mci::test {

cd::test::ImageSpec threeTrackDisc()
{
    cd::test::ImageSpec spec;
    spec.tracks = {{300, 0, false}, {150, 75, false}, {75, 0, true}};
    return spec;
}

CdRig::CdRig(const cd::test::ImageSpec& disc)
    : cue(cd::test::writeImage(folder.path().toStdString(), "disc", disc))
{
    std::vector<std::unique_ptr<cd::Drive>> list;
    list.push_back(std::make_unique<cd::ImageDrive>(cue));
    drives = cd::DriveList(std::move(list));
    drivesInPlace.emplace(cd::cdDrives, drives);
    cdControl.setDevice(std::make_unique<CdAudioDevice>(), QStringLiteral("CDAudio"));
}

CdRig::~CdRig()
{
    cdControl.setDevice(nullptr, QString());
}

void CdRig::openDisc()
{
    cdControl.setFileName(QStringLiteral("D:"));
    cdControl.setWait(true);
    sendCd("Open");
    ASSERT_EQ(cdControl.error(), 0) << cdControl.errorMessage().toStdString();
}

std::vector<DiscSample> CdRig::heardIndexes() const
{
    const std::vector<std::int16_t> samples = heard();
    std::vector<DiscSample> indexes;
    for (std::size_t at = 0; at + 1 < samples.size(); at += 2) {
        const bool quiet = samples[at] == 0 && samples[at + 1] == 0;
        indexes.push_back(quiet ? -1 : cd::test::sampleIndexOf(samples[at], samples[at + 1]));
    }
    return indexes;
}

} // namespace lentaro::mci::test
