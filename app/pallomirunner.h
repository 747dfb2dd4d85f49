#pragma once

#include "app/enginerunner.h"

namespace lentaro {

// The runner library itself.
class PallomiRunner : public EngineRunner
{
public:
    std::int32_t init(const QString& engineLibraryName) override;
    void registerCallBack(PlayFileCallBack callBack) override;
    std::int32_t start(const EnginePass& pass) override;
    std::int32_t stop() override;
    std::int32_t cleanUp() override;
};

} // namespace lentaro
