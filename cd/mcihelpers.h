#pragma once

#include <QString>

namespace lentaro {

namespace mci {
class MMControl;
}

// The MCI helper module: the wave device's recording format, the texts of packed MCI times, and
// the CD drives' letters.

// Sets the recording format of the wave device WaveControl has open: PCM of bitsPerSample bits
// in numberOfChannels channels at sampleRate frames a second. False, without a message, when no
// device is open or it refuses the format (the old format stays); an overflow of the block size
// or the byte rate goes to the central error handler and gives False too.
bool SetRecordingParameters(mci::MMControl& WaveControl, int bitsPerSample, int numberOfChannels,
                            int sampleRate);

// "mm:ss" of an MSF time (bytes 0 and 1), each at least two digits.
QString toMS(int tmsf);
// "tt:mm:ss" of a TMSF time (bytes 0, 1 and 2), each at least two digits; the frames are not shown.
QString toTMS(int tmsf);

// The letter of the n-th CD drive counted from 1 ("D"), or "" for n < 1 or past the last drive.
QString GetNthCdRomDriveLetter(int n);

} // namespace lentaro
