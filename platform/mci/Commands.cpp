#include "platform/mci/Commands.h"

#include <array>
#include <utility>

namespace lentaro::mci {

namespace {

constexpr std::array<std::pair<const char*, Verb>, 14> verbs{{
    {"Open", Verb::Open},
    {"Close", Verb::Close},
    {"Play", Verb::Play},
    {"Pause", Verb::Pause},
    {"Stop", Verb::Stop},
    {"Record", Verb::Record},
    {"Save", Verb::Save},
    {"Cue", Verb::Cue},
    {"Seek", Verb::Seek},
    {"Eject", Verb::Eject},
    {"Back", Verb::Back},
    {"Step", Verb::Step},
    {"Prev", Verb::Prev},
    {"Next", Verb::Next},
}};

} // namespace

std::optional<Verb> verbNamed(const QString& text)
{
    for (const auto& [name, verb] : verbs) {
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return verb;
    }
    return std::nullopt;
}

bool notifiesByDefault(Verb verb)
{
    return verb == Verb::Play || verb == Verb::Record;
}

} // namespace lentaro::mci
