/* The file-to-file time-scale engine: scales the duration of a sound file into
   another file at unchanged pitch, with no playback. */
#ifndef LENTARO_BRENNIC_H
#define LENTARO_BRENNIC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Scales the time of inputPath by timeFactor (2.0 gives twice the length) into
   outputPath, a mono file of the input's type, sample rate and sample size (16-bit
   linear for mu-law and A-law input); an existing file of that name is replaced. A
   stereo input is mixed to mono first, through the working file inputPath +
   ".mono.tmp", which is gone again when the call returns. Returns 0, or an engine
   result code (4 for an FFT size, window mode or time factor no pass can run with,
   before any file is touched), or -1 when the input cannot be opened or read as
   sound, the output cannot be created or names the input or its working file, or
   the mix to mono fails. The output, once created, is a complete file holding what
   was written on every way out. */
int32_t kv_TimeScale(const char* inputPath, double timeFactor, int16_t fftSize, int16_t windowMode,
                     const char* outputPath);

#ifdef __cplusplus
}
#endif

#endif
