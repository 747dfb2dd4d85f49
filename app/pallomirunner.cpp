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

std::int32_t PallomiRunner::stop()
{
    return KVPlayFileStop();
}

std::int32_t PallomiRunner::cleanUp()
{
    return KVPlayFileCleanUp();
}

} // namespace lentaro
