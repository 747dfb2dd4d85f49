#pragma once

#include <QString>

#include <optional>

namespace lentaro::mci {

// The verbs the Command property takes.
enum class Verb {
    Open,
    Close,
    Play,
    Pause,
    Stop,
    Record,
    Save,
    Cue,
    Seek,
    Eject,
    Back,
    Step,
    Prev,
    Next
};

// The verb a command text names, compared without regard to case; nothing for an unknown one.
std::optional<Verb> verbNamed(const QString& text);

// Play and Record notify when the caller does not say; other commands only when asked.
bool notifiesByDefault(Verb verb);

} // namespace lentaro::mci
