#pragma once

#include "platform/cd/DiscChangeSource.h"

namespace lentaro::cd {

// A disc-change source for tests: reports what the test says, at once, to whoever subscribed.
class ScriptedDiscChanges : public DiscChangeSource
{
public:
    void arrive(char letter) { report({letter, true}); }
    void remove(char letter) { report({letter, false}); }
};

} // namespace lentaro::cd
