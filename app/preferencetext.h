#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace lentaro {

// How preference values become stored texts and stored texts become program values.

// The stored text of a value: "True" or "False", plain decimal numbers ("44100", "-1", "2.5"),
// texts as they are; "" for an empty value.
QString preferenceText(const QVariant& value);

// "True" or "False" in any letter case, or a number (0 is False, anything else True);
// nothing when the text is neither. Blanks around it do not matter.
std::optional<bool> booleanOf(const QString& text);

// The number a text starts with: blanks are skipped wherever they stand, reading stops at the
// first character that cannot continue the number, and a text without one gives 0
// ("22050 Hz" is 22050, " 1 6" is 16, "abc" is 0); a number too large for a double is an
// infinity, so that converting it further reports an overflow.
double startingNumber(const QString& text);
// The same number; nothing when the text starts with none.
std::optional<double> leadingNumberOf(const QString& text);

// The whole text as a number (blanks around it allowed); nothing when it is not one.
std::optional<double> numberOf(const QString& text);

// The nearest whole number, halves to the even neighbour (2.5 is 2, 3.5 is 4); nothing when
// that does not fit an int.
std::optional<int> wholeNumberOf(double number);

// A value assigned to a variable of each kind, as writePref converts its new value: nothing
// when the value does not convert (a text that is no number for an int, ...). True is -1 as a
// number, the value stored files hold for it.
std::optional<bool> booleanValueOf(const QVariant& value);
std::optional<int> wholeValueOf(const QVariant& value);

} // namespace lentaro
