#include "platform/shell/urlopener.h"

#include <QDesktopServices>

namespace lentaro {

namespace {

class DesktopUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

} // namespace

Service<UrlOpener> urlOpener{madeAtFirstUse<DesktopUrlOpener>};

} // namespace lentaro
