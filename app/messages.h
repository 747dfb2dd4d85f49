#pragma once

#include <QString>

namespace lentaro {

// Shows theString in the status window (messageForm) with that caption, loading it when
// needed; "off" (exactly, lower case) unloads it. Errors are ignored. Pending events are
// processed once, so the change is painted before the caller goes on.
void Message(const QString& theString,
             const QString& newCaption = QStringLiteral("Make Loop Points"));

// Shows theString in the progress window (messages2) with theSource as the tag that decides
// what its Cancel ends, loading it when needed (which disables the main window); "off" unloads
// it and enables the main window. Pending events are processed once.
void Message2(const QString& theString, const QString& theSource = QString());

// Whether the progress window is up (and so holds the main window disabled).
bool progressWindowShown();

} // namespace lentaro
