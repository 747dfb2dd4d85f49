/* The time-scale engine's two exported entry points, as the engine-pass runner
   binds them by name at run time. */
#ifndef LENTARO_KELVOR_H
#define LENTARO_KELVOR_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Runs one whole pass over inputPath on the caller's thread: scales its time by
   timeFactor and its pitch by pitchFactor, plays the result when playFlag is
   nonzero and writes it to the mono file outputPath unless that is null. Returns
   0 or an engine result code, -1 when a file cannot be opened or the engine lock
   cannot be had. */
int32_t kv_TimeScale(const char* inputPath, double pitchFactor, double timeFactor, int16_t fftSize, int16_t windowMode,
                     const char* outputPath, int16_t playFlag, int16_t channelChoice);

/* Asks the running passes to stop at their next analysis hop. Returns 0, or -1
   when the engine lock cannot be had. */
int32_t kv_StopTimeScale(void);

#ifdef __cplusplus
}
#endif

#endif
