#pragma once

#include "tests/app/app_fixture.h"

#include "app/mainwindowface.h"
#include "app/progresscancel.h"
#include "platform/forms/formregistry.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace lentaro::test {

// Records what Cancel on the progress window asked to end.
class RecordingCancelTargets : public ProgressCancelTargets
{
public:
    void stopEnginePass() override { ++enginePassStops; }
    void stopDigitalRead() override { ++digitalReadStops; }
    void changeToCDView() override { ++cdViewChanges; }

    int enginePassStops = 0;
    int digitalReadStops = 0;
    int cdViewChanges = 0;
};

// The main window as the frame's windows leave it: enabled or not, and each track information
// control's visibility, with the order they were set in.
class RecordingMainWindow : public MainWindowFace
{
public:
    void setEnabled(bool isEnabled) override { enabled = isEnabled; }
    void setTrackInfoVisible(TrackInfo control, bool visible) override
    {
        trackInfoVisible[control] = visible;
        trackInfoSettings.push_back(control);
    }
    void comeForward() override { ++forwardRequests; }

    bool enabled = true;
    std::map<TrackInfo, bool> trackInfoVisible;
    std::vector<TrackInfo> trackInfoSettings;
    int forwardRequests = 0;
};

// Acts on the next modal window once it is up: the test's stand-in for the person who answers
// it. Stops looking when it goes out of scope.
class WhenModal
{
public:
    explicit WhenModal(std::function<void(QWidget&)> action);
    bool acted() const { return acted_; }

private:
    QTimer timer_;
    bool acted_ = false;
};

// AppTest for windows: no window loaded before or after, the progress window's Cancel reaching
// recorders, the screen pointer reset, and a recording main window on request.
class WindowTest : public AppTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The main window, enabled, put in place at the first call.
    RecordingMainWindow& mainWindow();

    // Deletes what unload() left for deletion.
    static void deleteUnloaded();

    RecordingCancelTargets cancelTargets_;

private:
    RecordingMainWindow main_;
    std::optional<ScopedOverride<ProgressCancelTargets>> cancelTargetsInPlace_;
    std::optional<ScopedOverride<MainWindowFace>> mainInPlace_;
};

} // namespace lentaro::test
