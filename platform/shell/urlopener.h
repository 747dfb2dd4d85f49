#pragma once

#include "platform/shell/service.h"

#include <QUrl>

namespace lentaro {

// Opens an address or a file with the desktop's program for it: web pages in the browser,
// help files in their viewer.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;

    // True when a program took the address: false when the desktop has no program for that kind
    // of file, or could not start it.
    virtual bool open(const QUrl& url) = 0;
};

// The desktop's URL handler (xdg-open) unless replaced.
extern Service<UrlOpener> urlOpener;

} // namespace lentaro
