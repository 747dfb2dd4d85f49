#pragma once

#include "platform/cd/FrameReader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>

#include <functional>
#include <memory>
#include <string>

namespace lentaro::cd {

// Reads a drive's audio through paranoia, one verified sector at a time, so that a stop request is
// seen between sectors. The byte order is fixed to little-endian (what ATAPI and MMC drives
// deliver) before the first read: paranoia's own guess comes from the sound itself and turned
// noisy audio round. A sector paranoia gives up on fails the read instead of passing as silence.
// Null, with the reason in problem, when the drive cannot be opened for reading; the device is
// opened without exclusion.
std::unique_ptr<FrameReader> openParanoiaReader(const std::string& device, std::string& problem);

// Paranoia's handle on a drive (or image) libcdio has opened, which it takes over: identified, its
// messages going to the log, its byte order fixed and opened for reading. Null, with the reason
// in problem, when the drive cannot read audio digitally; cdio is freed then.
cdrom_drive_t* openCdda(CdIo_t* cdio, std::string& problem);

// A reader over such a handle, which it then owns (and frees even when it returns null, without a
// disc). discStillThere answers the reader's question of the same name.
std::unique_ptr<FrameReader> paranoiaReaderOver(cdrom_drive_t* drive,
                                                std::function<bool()> discStillThere,
                                                std::string& problem);

} // namespace lentaro::cd
