#include "app/preferencetable.h"

#include "app/preferences.h"

#include <algorithm>

namespace lentaro {

namespace {

template <typename T>
PreferenceVariable<T> fills(T ProgramState::*member, T defaultValue)
{
    return {member, defaultValue};
}

} // namespace

bool PreferenceRow::allows(int value) const
{
    return allowedValues.empty()
           || std::find(allowedValues.begin(), allowedValues.end(), value) != allowedValues.end();
}

const std::vector<PreferenceRow>& preferenceTable()
{
    using S = ProgramState;
    // A preference that fills a program-state variable is one more row here.
    static const std::vector<PreferenceRow> rows = {
        // name                             variable and its default                        allowed values
        {"Show Tips at Startup", fills(&S::gvShowTips, true), {}},
        {"AutoSlow", fills(&S::gvAutoSlow, true), {}},
        // Where digital reading does not work the recording set-up reads it again with 2.
        {"RecordMode", fills(&S::gvRecordMode, 1), {1, 2}},
        {"RecordingDepth", fills(&S::gvRecordingDepth, 16), {8, 16}},
        {"RecordingSampleRate", fills(&S::gvRecordingSampleRate, 44100), {11025, 22050, 44100}},
        {"AutomaticallySetRecordingMixer", fills(&S::gvAutomaticallySetRecordingMixer, true), {}},
        {"SoundQuality", fills(&S::gvSoundQuality, 3), {1, 2, 3}},
        {"PreviewEnd", fills(&S::gvPreviewEnd, false), {}},
        {"DeleteTempFiles", fills(&S::gvDeleteTempFiles, true), {}},
        {"ShowTooltips", fills(&S::gvShowTooltips, true), {}},
        {"digCDNum", fills(&S::gvDigCDNum, 1), {}},
        {"Realtime", fills(&S::gvRealtime, true), {}},
        {"ChannelToTransform", fills(&S::gvChannelToTransform, 0), {0, 1, 2}},
        {"SwitchToDigitalAskedAndAnswered", fills(&S::gvSwitchToDigitalAskedAndAnswered, true), {}},
    };
    return rows;
}

const PreferenceRow* findPreference(const QString& prefName)
{
    for (const PreferenceRow& row : preferenceTable()) {
        if (prefName.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

void readPreference(const PreferenceRow& row)
{
    std::visit(
        [&](const auto& variable) {
            readPref(QString::fromLatin1(row.name), programState().*variable.member,
                     QVariant(variable.defaultValue));
        },
        row.variable);
}

void readPreferences()
{
    for (const PreferenceRow& row : preferenceTable())
        readPreference(row);
}

} // namespace lentaro
