#include "mainwindow/expansionfactor.h"

#include "app/programstate.h"
#include "app/workingfiles.h"
#include "mainwindow/mainstate.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <QFile>

#include <algorithm>

namespace lentaro {

namespace {

// The channel count temp.wav's header gives; 0 when there is no readable temp.wav.
int tempWavHeaderChannels()
{
    const auto stream = kv::SoundStream::openRead(QFile::encodeName(tempWav()).toStdString());
    return stream && stream->lastError() == kv::kOk ? stream->channels() : 0;
}

} // namespace

void expFactorSet(const MainState& state)
{
    if (state.slowDownPercent() <= 0)
        return;
    const double timeFactor = 100.0 / std::max(state.slowDownPercent(), slowestPercent);
    const int channels =
        state.tempWavChannels > 0 ? state.tempWavChannels : tempWavHeaderChannels();
    programState().gvExpansionFactor =
        static_cast<float>(channels > 0 ? timeFactor / channels : timeFactor / 2);
}

} // namespace lentaro
