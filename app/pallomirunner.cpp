#include "app/pallomirunner.h"

#include "player/pallomi.h"

namespace lentaro {

Service<EngineRunner> engineRunner{madeAtFirstUse<PallomiRunner>};

std::int32_t PallomiRunner::stop()
{
    return KVPlayFileStop();
}

std::int32_t PallomiRunner::cleanUp()
{
    return KVPlayFileCleanUp();
}

} // namespace lentaro
