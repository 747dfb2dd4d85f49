#pragma once

#include "platform/cd/Drive.h"
#include "platform/shell/service.h"

#include <memory>
#include <string>
#include <vector>

namespace lentaro::cd {

// The letter of the first drive of a list.
inline constexpr char firstDriveLetter = 'D';

// The CD drives of this run, with their letters from D: upward in the order given, and numbered
// 1..n in the same order (the digital reader's drive numbers). The list never changes once made:
// a drive that goes away keeps its letter and reports no disc. Letters end at Z:; drives beyond
// it are left out, with a line in the log.
class DriveList
{
public:
    DriveList() = default;
    explicit DriveList(std::vector<std::unique_ptr<Drive>> drives);
    DriveList(DriveList&&) = default;
    DriveList& operator=(DriveList&&) = default;

    int count() const { return static_cast<int>(m_drives.size()); }
    // Null outside 1..count.
    Drive* drive(int number) const;
    // Null for a letter no drive has; either case.
    Drive* drive(char letter) const;
    // The letters of all drives in order, "DE" for two.
    std::string letters() const;

private:
    std::vector<std::unique_ptr<Drive>> m_drives;
};

// This machine's drives: libcdio's in its order, then one image drive for each .cue in
// LENTARO_CD_IMAGES (paths separated by ':'). Made at the first call and kept for the run.
extern Service<DriveList> cdDrives;

// The .cue paths of LENTARO_CD_IMAGES' value, absolute, in order; empty entries are skipped.
std::vector<std::string> imagePaths(const char* variable);

// The letters of all of cdDrives()'s drives, "" when there is none.
std::string driveLetters();
// The letter of cdDrives()'s n-th drive counted from 1, "" for n < 1 or past the last drive.
std::string nthDriveLetter(int n);

} // namespace lentaro::cd
