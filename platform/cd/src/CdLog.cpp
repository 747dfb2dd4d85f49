#include "platform/cd/CdLog.h"

#include <QLoggingCategory>

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <mutex>

namespace lentaro::cd {

namespace {

Q_LOGGING_CATEGORY(cdCategory, "lentaro.cd")

class QtCdLog : public CdLog
{
public:
    void write(const std::string& line) override
    {
        qCWarning(cdCategory).noquote() << QString::fromStdString(line);
    }
};

// libcdio's own handler prints to standard error and ends the program on an error.
void libcdioMessage(cdio_log_level_t level, const char message[])
{
    if (level < CDIO_LOG_WARN || !message)
        return;
    std::string line = std::string("libcdio: ") + message;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    cdLog().write(line);
}

} // namespace

Service<CdLog> cdLog{madeAtFirstUse<QtCdLog>};

void routeLibcdioMessages()
{
    static std::once_flag routed;
    std::call_once(routed, [] {
        cdio_log_set_handler(libcdioMessage);
        cdio_init();
    });
}

} // namespace lentaro::cd
