// The library's C surface. No exception may leave it: the callers are C.
#include "player/pallomi.h"

#include "player/pass_runner.h"
#include "soundfile/guarded_call.h"

extern "C" {

int32_t KVPlayFileInit(const char* engineLibraryName) {
  return kv::guardedCall([&] { return kv::PassRunner::instance().init(engineLibraryName); }, 0, 0);
}

void KVPlayFileRegisterCallBack(PlayFileCallBack callBack) {
  kv::guardedCall([&] { kv::PassRunner::instance().registerCallBack(callBack); });
}

int32_t KVPlayFileStart(const char* inputPath, double pitchFactor, double timeFactor, int16_t fftSize,
                        int16_t windowMode, const char* outputPath, int32_t playFlag, int16_t channelChoice) {
  return kv::guardedCall(
      [&] {
        return kv::PassRunner::instance().start(inputPath, pitchFactor, timeFactor, fftSize, windowMode, outputPath,
                                                playFlag, channelChoice);
      },
      0, 0);
}

int32_t KVPlayFileStop(void) {
  return kv::guardedCall([] { return kv::PassRunner::instance().stop(); }, 1, 1);
}

int32_t KVPlayFileCleanUp(void) {
  return kv::guardedCall([] { return kv::PassRunner::instance().cleanUp(); }, 0, 0);
}

}  // extern "C"
