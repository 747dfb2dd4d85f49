#pragma once

#include "platform/forms/form.h"
#include "platform/forms/prompts.h"

#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace lentaro {

class MainState;

namespace mci {
class MMControl;
}

// What the recorder window uses of the main window: its shared state (currentMMControl), the
// wave device it records through, its recent-files list, and the window itself, which the
// recorder opens centred on (on the screen without one).
struct RecorderControls {
    MainState& state;
    mci::MMControl& WaveControl;
    std::function<void(const QString&)> addToMRUs;
    const QWidget* window = nullptr;
};

// The recorder window ("Record Wave File"): records the sound card's input into a wave file the
// user names, through the main window's wave device, and offers to save each recording. The wave
// device gets back at unloading the file it had open at loading.
class recordForm : public forms::Form
{
    Q_OBJECT

public:
    static constexpr const char* formName = "recordForm";

    explicit recordForm(RecorderControls controls);

    void cmdChooseFile_Click();
    void cmdMixer_Click();
    void mmWave_BackClick(bool& Cancel);
    void mmWave_PrevClick(bool& Cancel);
    void mmWave_PlayClick(bool& Cancel);
    void mmWave_RecordClick(bool& Cancel);
    void mmWave_StopClick(bool& Cancel);
    void Timer1_Timer();
    // After the first Record: asks whether to save the wave device's file.
    void conditionalSave();
    void showRecordingMixer();
    void hideMixer();

    QPushButton* cmdChooseFile;
    QPushButton* cmdMixer;
    mci::MMControl* mmWave; // buttons only, forwarded to the main window's wave device
    forms::FileDialogRequest cdlgRecordFile;
    QTimer* Timer1;
    QLabel* lblTime;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;

protected:
    void formUnload() override;

private:
    void Form_Load();

    RecorderControls c_;
    bool noRecordingYet = true;
    int savedUpdateInterval = 0;
    // The wave device's file at loading, and whether it was open.
    QString heldFileName_;
    bool heldFileOpen_ = false;
};

} // namespace lentaro
