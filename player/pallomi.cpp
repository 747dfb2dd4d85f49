// The library's C surface. No exception may leave it: the callers are C.
#include "player/pallomi.h"

#include "player/pass_runner.h"

extern "C" {

int32_t KVPlayFileInit(const char* engineLibraryName)
{
    try {
        return kv::PassRunner::instance().init(engineLibraryName);
    } catch (...) {
        return 0;
    }
}

void KVPlayFileRegisterCallBack(PlayFileCallBack callBack)
{
    try {
        kv::PassRunner::instance().registerCallBack(callBack);
    } catch (...) {
    }
}

int32_t KVPlayFileStart(const char* inputPath, double pitchFactor, double timeFactor,
                        int16_t fftSize, int16_t windowMode, const char* outputPath,
                        int32_t playFlag, int16_t channelChoice)
{
    try {
        return kv::PassRunner::instance().start(inputPath, pitchFactor, timeFactor, fftSize,
                                                windowMode, outputPath, playFlag, channelChoice);
    } catch (...) {
        return 0;
    }
}

int32_t KVPlayFileStop(void)
{
    try {
        return kv::PassRunner::instance().stop();
    } catch (...) {
        return 1;
    }
}

int32_t KVPlayFileCleanUp(void)
{
    try {
        return kv::PassRunner::instance().cleanUp();
    } catch (...) {
        return 0;
    }
}

} // extern "C"
