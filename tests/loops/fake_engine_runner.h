#pragma once

#include "app/enginerunner.h"

#include <thread>
#include <vector>

namespace lentaro::test {

// An engine runner without an engine: start keeps the pass and answers as the test says, and the
// end of a pass comes when the test calls complete, from a thread of its own as the runner's
// worker reports it. Of the stops that reach a running pass, the one the test names ends it
// (counting from 1; 0: no stop ends a pass).
class FakeEngineRunner : public EngineRunner
{
public:
    std::vector<EnginePass> passes;
    std::int32_t startAnswer = 1;
    int stops = 0;
    int stopThatEnds = 0;
    std::int32_t stoppedResult = 0;

    std::int32_t init(const QString&) override { return 1; }
    void registerCallBack(PlayFileCallBack callBack) override { callBack_ = callBack; }
    std::int32_t start(const EnginePass& pass) override
    {
        passes.push_back(pass);
        if (startAnswer == 1)
            ++running_;
        return startAnswer;
    }
    std::int32_t stop() override
    {
        ++stops;
        if (running_ > 0 && ++stopsWhileRunning_ == stopThatEnds)
            complete(stoppedResult);
        return 0;
    }
    std::int32_t cleanUp() override { return 1; }

    // A pass ends with that result; the thread has ended when this returns.
    void complete(std::int32_t result)
    {
        if (running_ > 0)
            --running_;
        stopsWhileRunning_ = 0;
        std::thread worker([this, result] {
            if (callBack_)
                callBack_(result);
        });
        worker.join();
    }

private:
    PlayFileCallBack callBack_ = nullptr;
    int running_ = 0;
    int stopsWhileRunning_ = 0;
};

} // namespace lentaro::test
