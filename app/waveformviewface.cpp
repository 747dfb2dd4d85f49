#include "app/waveformviewface.h"

namespace lentaro {

namespace {

class NoWaveformView : public WaveformViewFace
{
public:
    void bringBack() override {}
};

} // namespace

Service<WaveformViewFace> waveformViewFace{madeAtFirstUse<NoWaveformView>};

} // namespace lentaro
