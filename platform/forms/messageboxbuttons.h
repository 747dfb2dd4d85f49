#pragma once

#include "platform/forms/prompts.h"

#include <vector>

namespace lentaro::forms {

// The answers of a button set, left to right (Help last when the set has it).
std::vector<Answer> answersOf(Buttons buttons);

// The answer of the request's default button (the first when it names none of them).
Answer defaultAnswer(const MessageBoxRequest& request);

} // namespace lentaro::forms
