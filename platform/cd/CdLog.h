#pragma once

#include "platform/shell/service.h"

#include <string>

namespace lentaro::cd {

// Where the CD layer's own remarks and libcdio's and paranoia's messages go, instead of standard
// error. The default writes to the Qt log category "lentaro.cd", which the program's message
// handler receives; tests put a recording log in its place. Any thread may write.
class CdLog
{
public:
    virtual ~CdLog() = default;
    virtual void write(const std::string& line) = 0;
};

extern Service<CdLog> cdLog;

// Sends libcdio's messages to cdLog (warnings and errors; its debugging chatter is dropped). Every
// part of the layer that calls libcdio calls this first; only the first call does anything.
void routeLibcdioMessages();

} // namespace lentaro::cd
