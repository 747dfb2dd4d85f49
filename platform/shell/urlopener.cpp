#include "platform/shell/urlopener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace lentaro {

namespace {

constexpr int startBoundMs = 5000;
// xdg-open finds out within this whether a program takes the file.
constexpr int answerBoundMs = 1500;

// xdg-open says whether a program took the file: it ends at once with an error when none does.
// A desktop's own opener ends it as soon as the program has started; without one, it runs the
// program itself until that ends, and is left to.
bool openFile(const QString& opener, const QString& path)
{
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(opener, {path});
    if (!process->waitForStarted(startBoundMs)) {
        delete process;
        return false;
    }
    if (!process->waitForFinished(answerBoundMs)) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool took = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return took;
}

class DesktopUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl& url) override
    {
        const QString opener = url.isLocalFile()
                                   ? QStandardPaths::findExecutable(QStringLiteral("xdg-open"))
                                   : QString();
        return opener.isEmpty() ? QDesktopServices::openUrl(url)
                                : openFile(opener, url.toLocalFile());
    }
};

} // namespace

Service<UrlOpener> urlOpener{madeAtFirstUse<DesktopUrlOpener>};

} // namespace lentaro
