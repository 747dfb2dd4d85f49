// The four wave files used most recently, under File, kept in the user's settings. Each item
// holds its path as data: its text shows the path literally, "&" included.
#include "mainwindow/frmMain.h"
#include "mainwindow/ignoringerrors.h"

#include "app/utilities.h"
#include "platform/registry/Settings.h"
#include "trace/tracescope.h"

#include <QAction>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
constexpr char app[] = "Lentaro";
constexpr char section[] = "Recent Files";

std::string key(int index)
{
    return std::to_string(index);
}

} // namespace

QString frmMain::mruPath(int Index) const
{
    return mnuMRU[static_cast<std::size_t>(Index - 1)]->data().toString();
}

void frmMain::setMruPath(int Index, const QString& path)
{
    QAction* item = mnuMRU[static_cast<std::size_t>(Index - 1)];
    item->setData(path);
    // Doubled, an "&" is shown as itself rather than marking an access key.
    item->setText(QString(path).replace(QLatin1Char('&'), QLatin1String("&&")));
}

void frmMain::getMRUs()
{
    TraceScope trace(module, "Sub getMRUs");
    trace.run([&] {
        // A damaged store may hold gaps and repeats: the list takes each path once, in order.
        QStringList paths;
        for (int i = 1; i <= 4; ++i) {
            ignoringErrors([&] {
                const QString path =
                    QString::fromStdString(registry::getSetting(app, section, key(i)));
                if (!path.isEmpty() && !paths.contains(path))
                    paths << path;
            });
        }
        for (int i = 1; i <= 4; ++i)
            setMruPath(i, i <= paths.size() ? paths[i - 1] : QString());
        visifyMRUlist();
    });
}

void frmMain::setMRUs()
{
    TraceScope trace(module, "Sub setMRUs");
    trace.run([&] {
        for (int i = 1; i <= 4; ++i) {
            ignoringErrors([&] {
                const QString path = mruPath(i);
                // A free slot's key goes, so that no older entry comes back from it.
                if (path.isEmpty())
                    registry::deleteSetting(app, section, key(i));
                else
                    registry::saveSetting(app, section, key(i), path.toStdString());
            });
        }
        visifyMRUlist();
    });
}

void frmMain::addToMRUs(const QString& fn)
{
    TraceScope trace(module, "Sub addToMRUs", {{"fn", fn}});
    trace.run([&] {
        if (extractExtensionFromFilename(fn).compare(QLatin1String("wav"), Qt::CaseInsensitive)
            != 0)
            return;
        const int p = foundInMRUs(fn);
        if (p > 0)
            deleteMenuItem(p);
        bumpMRUs();
        setMruPath(1, fn);
        setMRUs();
    });
}

int frmMain::foundInMRUs(const QString& fn)
{
    TraceScope trace(module, "Function foundInMRUs", {{"fn", fn}});
    return trace.run(0, [&] {
        // Exactly, letter case included: a.wav and A.wav are two files.
        for (int i = 1; i <= 4; ++i) {
            if (mruPath(i) == fn)
                return i;
        }
        return 0;
    });
}

void frmMain::deleteMenuItem(int Index)
{
    TraceScope trace(module, "Sub deleteMenuItem", {{"Index", Index}});
    trace.run([&] {
        for (int i = Index; i <= 3; ++i)
            setMruPath(i, mruPath(i + 1));
        setMruPath(4, QString());
    });
}

void frmMain::bumpMRUs()
{
    TraceScope trace(module, "Sub bumpMRUs");
    trace.run([&] {
        for (int i = 4; i >= 2; --i)
            setMruPath(i, mruPath(i - 1));
        setMruPath(1, QString());
    });
}

void frmMain::visifyMRUlist()
{
    TraceScope trace(module, "Sub visifyMRUlist");
    trace.run([&] {
        bool any = false;
        for (int i = 1; i <= 4; ++i) {
            const bool shown = !mruPath(i).isEmpty();
            mnuMRU[static_cast<std::size_t>(i - 1)]->setVisible(shown);
            any = any || shown;
        }
        mnuMRUsep->setVisible(any);
    });
}

void frmMain::mnuMRU_Click(int Index)
{
    TraceScope trace(module, "Sub mnuMRU_Click", {{"Index", Index}});
    trace.run([&] {
        if (playWaveFile(mruPath(Index)))
            changeToMode(QStringLiteral("Wave"), false);
    });
}

} // namespace lentaro
