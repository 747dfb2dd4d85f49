#include "tests/trace/trace_fixture.h"

#include "trace/monitorprotocol.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace lentaro::test {
namespace {

using monitor::Request;

// A monitor program on its own thread: accepts one connection and answers each request with the
// next scripted result (0 once the script is used up). closeAfter > 0 hangs up after that many.
class FakeMonitor
{
public:
    FakeMonitor(const QString& socketPath, std::vector<std::int32_t> script, int closeAfter = 0)
        : script_(std::move(script)), closeAfter_(closeAfter)
    {
        QLocalServer::removeServer(socketPath);
        // A std::thread, not a QThread: joining it is a hand-over ThreadSanitizer sees.
        thread_ = std::thread([this, socketPath] {
            QLocalServer server;
            const bool listening = server.listen(socketPath);
            listening_ = listening;
            ready_ = true;
            if (listening)
                serve(server);
        });
        while (!ready_)
            QThread::msleep(1);
        EXPECT_TRUE(listening_) << qPrintable(socketPath);
    }

    ~FakeMonitor()
    {
        stop_ = true;
        thread_.join();
    }

    std::vector<Request> requests() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // The requests after the first `skip`, as "SetText", "Query 1" or "Query 2".
    QStringList kinds(std::size_t skip = 0) const
    {
        QStringList kinds;
        const std::vector<Request> all = requests();
        for (std::size_t i = skip; i < all.size(); ++i) {
            kinds << (all[i].message == monitor::SetText
                          ? QStringLiteral("SetText")
                          : QStringLiteral("Query %1").arg(all[i].wParam));
        }
        return kinds;
    }

private:
    void serve(QLocalServer& server)
    {
        while (!stop_ && !server.waitForNewConnection(20)) {
        }
        std::unique_ptr<QLocalSocket> socket(server.nextPendingConnection());
        if (!socket)
            return;
        std::size_t answered = 0;
        while (!stop_) {
            if (socket->bytesAvailable() == 0 && !socket->waitForReadyRead(20)) {
                if (socket->state() != QLocalSocket::ConnectedState)
                    return;
                continue;
            }
            Request request;
            if (!monitor::readRequest(*socket, request, 2000))
                return;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            if (closeAfter_ > 0 && requests_.size() > static_cast<std::size_t>(closeAfter_)) {
                socket->disconnectFromServer();
                return;
            }
            socket->write(monitor::encodeAnswer(answered < script_.size() ? script_[answered] : 0));
            ++answered;
            socket->waitForBytesWritten(2000);
        }
    }

    std::vector<std::int32_t> script_;
    int closeAfter_;
    std::thread thread_;
    std::atomic<bool> listening_{false};
    std::atomic<bool> ready_{false};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
};

class MonitorTest : public TraceTest
{
protected:
    QString socketPath(const QString& name) const { return monitorFolder_ + "/" + name; }
};

TEST(MonitorName, IsTheTitleOrTheTitleWithADash)
{
    EXPECT_TRUE(monitor::isMonitorName("Orvane Sentrix"));
    EXPECT_TRUE(monitor::isMonitorName("Orvane Sentrix - Debug"));
    EXPECT_TRUE(monitor::isMonitorName("Orvane Sentrix -"));
    EXPECT_FALSE(monitor::isMonitorName("Orvane SentrixX"));
    EXPECT_FALSE(monitor::isMonitorName("Orvane Sentrix-Debug"));
    EXPECT_FALSE(monitor::isMonitorName("orvane sentrix"));
    EXPECT_FALSE(monitor::isMonitorName("My Orvane Sentrix"));
}

TEST_F(MonitorTest, EveryLineGoesToTheMonitorWithItsLength)
{
    auto fake = std::make_unique<FakeMonitor>(socketPath("Orvane Sentrix - Debug"),
                                              std::vector<std::int32_t>{});
    sxPUSH("frmMain", "Sub Main");
    sxPOP("frmMain", "Sub Main");
    EXPECT_EQ(runtime().lineCount(), 2);
    const std::vector<Request> requests = fake->requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const Request& request : requests) {
        EXPECT_EQ(request.message, monitor::SetText);
        EXPECT_EQ(request.wParam,
                  static_cast<std::uint32_t>(QString::fromUtf8(request.text).size()));
        EXPECT_TRUE(request.text.startsWith("[Lentaro] "));
        EXPECT_TRUE(request.text.endsWith("\r\n"));
    }
    // Without SXCLIENT.INI a line carries no arguments and no suffixes.
    EXPECT_TRUE(requests[1].text.endsWith("] ->frmMain : Sub Main\r\n"));
}

TEST_F(MonitorTest, ASocketOfAnotherNameIsNoMonitor)
{
    auto fake =
        std::make_unique<FakeMonitor>(socketPath("Orvane SentrixX"), std::vector<std::int32_t>{});
    sxPUSH("frmMain", "Sub Main");
    EXPECT_EQ(runtime().lineCount(), 0);
    EXPECT_TRUE(fake->requests().empty());
}

TEST_F(MonitorTest, APauseThatEndsAtTheFirstPollLetsTheProgramGoOn)
{
    // Start line, entry line (pause), first poll (no longer paused), exit line.
    auto fake = std::make_unique<FakeMonitor>(
        socketPath("Orvane Sentrix"), std::vector<std::int32_t>{0, monitor::PauseRequest, 0});
    sxPUSH("frmMain", "Sub Main");
    sxPOP("frmMain", "Sub Main");
    EXPECT_EQ(fake->kinds(), QStringList({"SetText", "SetText", "Query 1", "SetText"}));
}

TEST_F(MonitorTest, APausedProgramWaitsWithItsWindowsDisabledUntilReleased)
{
    QWidget mainWindow;
    QWidget progressWindow(&mainWindow, Qt::Window);
    QWidget otherWindow;
    mainWindow.show();
    progressWindow.show();
    otherWindow.show();
    mainWindow.setEnabled(false); // kept disabled behind the progress window

    // Paused at the entry line; still paused twice (poll 1 nonzero, poll 2 zero), then let go.
    auto fake = std::make_unique<FakeMonitor>(
        socketPath("Orvane Sentrix"),
        std::vector<std::int32_t>{0, monitor::PauseRequest, 1, 0, 1, 0, 1, 1});
    runtime().sxSTART();

    std::vector<bool> enabledWhilePaused;
    QTimer::singleShot(0, [&] {
        enabledWhilePaused = {mainWindow.isEnabled(), progressWindow.isEnabled(),
                              otherWindow.isEnabled()};
    });
    sxPUSH("frmMain", "Sub Main");

    EXPECT_EQ(fake->kinds(1), QStringList({"SetText", "Query 1", "Query 2", "Query 1", "Query 2",
                                           "Query 1", "Query 2"}));
    EXPECT_EQ(enabledWhilePaused, std::vector<bool>({false, false, false}));
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(progressWindow.isEnabled());
    EXPECT_TRUE(otherWindow.isEnabled());
}

TEST_F(MonitorTest, AMonitorThatHasGoneAwayNeitherPausesNorStopsTheProgram)
{
    auto fake = std::make_unique<FakeMonitor>(socketPath("Orvane Sentrix"),
                                              std::vector<std::int32_t>{0}, 1);
    sxPUSH("frmMain", "Sub Main");
    sxPOP("frmMain", "Sub Main");
    EXPECT_EQ(runtime().callStack().depth(), 0);
    EXPECT_EQ(runtime().lineCount(), 2);
}

} // namespace
} // namespace lentaro::test
