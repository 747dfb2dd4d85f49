#pragma once

#include "platform/shell/urlopener.h"

#include <QList>
#include <QUrl>

namespace lentaro::test {

// Takes the addresses the program opens instead of a browser or viewer, and answers each with
// `answer` (false: no program took it).
class UrlRecorder : public UrlOpener
{
public:
    bool open(const QUrl& url) override
    {
        opened.append(url);
        return answer;
    }

    QList<QUrl> opened;
    bool answer = true;
};

} // namespace lentaro::test
