#include "tests/mainwindow/wave_window_fixture.h"
#include "tests/support/database_rows.h"
#include "tests/support/named_control.h"

#include <QAction>

namespace lentaro::test {

void WaveWindowTest::openThroughMenu(frmMain& main, const QString& path)
{
    prompts_.queueFile(path);
    control<QAction>(main, "mnuFileOpen")->trigger();
}

QList<QVariantList> WaveWindowTest::rows(const QString& sql) const
{
    return rowsOf(path(QStringLiteral("lentaro.mdb")), sql);
}

void WaveWindowTest::execute(const QString& sql) const
{
    rows(sql);
}

std::vector<std::int16_t> WaveWindowTest::heard() const
{
    const std::vector<std::uint8_t> bytes = sink_->bytes();
    std::vector<std::int16_t> samples;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8));
    return samples;
}

} // namespace lentaro::test
