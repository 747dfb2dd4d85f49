#pragma once

#include "apptest.h"

#include "app/progresscancel.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

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
// recorders, the screen pointer reset, and a stand-in main window on request.
class WindowTest : public AppTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A loaded window named "frmMain" holding the track information controls (lblTracks,
    // lblTrackComments, Comments, tgTracks), shown and enabled.
    QWidget& mainWindow();

    // Deletes what unload() left for deletion.
    static void deleteUnloaded();

    RecordingCancelTargets cancelTargets_;

private:
    std::unique_ptr<QWidget> main_;
    ProgressCancelTargets* previousTargets_ = nullptr;
};

} // namespace lentaro::test
