/* Pallomi runs time-scale engine passes on worker threads for the program and
   reports the end of each pass through a completion callback. */
#ifndef LENTARO_PALLOMI_H
#define LENTARO_PALLOMI_H

#include <stdint.h>

#define PALLOMI_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Called on the pass's worker thread with the engine's result for the pass. */
typedef void (*PlayFileCallBack)(int32_t result);

/* Loads the engine library of that name (dlopen search rules) and binds its
   entry points. Returns 1 when ready, 0 after showing why not. Called again while
   an engine is ready, a failure leaves that engine in place; a success stops the
   passes running in it (they still report), waits up to 15 seconds for them to
   leave it, releases it (unless one stays inside) and takes the new engine. */
PALLOMI_EXPORT int32_t KVPlayFileInit(const char* engineLibraryName);

/* Stores the completion callback and returns at once; null switches the reports
   off. Every pass that ends afterwards reports to the callback stored last; a
   report already under way is not waited for. */
PALLOMI_EXPORT void KVPlayFileRegisterCallBack(PlayFileCallBack callBack);

/* Starts one engine pass on a new worker thread and returns 1, or returns 0 when
   no pass was started. The strings are copied before it returns; a null or empty
   outputPath reaches the engine as null (no output file). The worker takes the pass
   into the engine once the passes stopped before it have ended. */
PALLOMI_EXPORT int32_t KVPlayFileStart(const char* inputPath, double pitchFactor, double timeFactor, int16_t fftSize,
                                       int16_t windowMode, const char* outputPath, int32_t playFlag,
                                       int16_t channelChoice);

/* Stops every pass started so far: one that has not reached the engine never does
   and reports 0, as a pass stopped at its first hop; the others get the engine's
   stop, on the caller's thread and then again from a thread of the runner until
   they have ended. Passes started afterwards are not affected. Returns the engine's
   stop result (0 done, -1 engine busy), or 1 when no engine is bound. */
PALLOMI_EXPORT int32_t KVPlayFileStop(void);

/* Stops the running passes, waits up to 15 seconds for their workers (none of
   them calls back any more) and releases the engine library. Returns 1 when it
   was released, 0 when none was loaded or a pass is still inside the engine
   (the library then stays loaded). */
PALLOMI_EXPORT int32_t KVPlayFileCleanUp(void);

/* Defined by the host program, which must export it (-rdynamic), to show the
   runner's error boxes; without it the runner writes them to standard error. */
void lentaroHostMessageBox(const char* text, const char* caption);

#ifdef __cplusplus
}
#endif

#endif
