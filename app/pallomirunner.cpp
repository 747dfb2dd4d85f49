#include "app/pallomirunner.h"

#include <QFile>

namespace lentaro {

Service<EngineRunner> engineRunner{madeAtFirstUse<PallomiRunner>};

std::int32_t PallomiRunner::init(const QString& engineLibraryName)
{
    return KVPlayFileInit(QFile::encodeName(engineLibraryName).constData());
}

void PallomiRunner::registerCallBack(PlayFileCallBack callBack)
{
    KVPlayFileRegisterCallBack(callBack);
}

std::int32_t PallomiRunner::start(const EnginePass& pass)
{
    // The runner copies both names before it returns.
    const QByteArray input = QFile::encodeName(pass.inputPath);
    const QByteArray output = QFile::encodeName(pass.outputPath);
    return KVPlayFileStart(input.constData(), pass.pitchFactor, pass.timeFactor, pass.fftSize,
                           pass.windowMode, output.constData(), pass.realTime, pass.channelChoice);
}

std::int32_t PallomiRunner::stop()
{
    return KVPlayFileStop();
}

std::int32_t PallomiRunner::cleanUp()
{
    return KVPlayFileCleanUp();
}

} // namespace lentaro
