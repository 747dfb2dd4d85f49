#pragma once

#include "platform/forms/form.h"

#include <QString>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace lentaro {

// The settings dialog ("Options"): every control writes its preference the moment it changes;
// Close (also from the title bar or with Escape) unloads it. It shows the program-wide
// variables as they are in memory and reads nothing stored itself.
class frmOptions : public forms::Form
{
    Q_OBJECT

public:
    static constexpr const char* formName = "frmOptions";

    frmOptions();

    void setPrefControls();
    void tabOptions_Click(int PreviousTab);
    void chkAutoSlow_Click();
    void chkRealtime_Click();
    void chkPreviewEnd_Click();
    void chkShowTooltips_Click();
    void chkDeleteTempFiles_Click();
    void chkAutomaticallySetRecordingMixer_Click();
    void cboRecordingDepth_LostFocus();
    void cboRecordingSampleRate_LostFocus();
    void optSoundQuality_Click(int Index);
    void optChannelToTransform_Click(int Index);
    void optRecordMode_Click(int Index);
    void cmdMoreInfo_Click();
    void cmdChangeCD_Click();
    void cmdShowRecordingMixer_Click();
    void Command4_Click();

    QTabWidget* tabOptions;
    // "Transformation"
    QCheckBox* chkAutoSlow;
    QLabel* Label5;
    QCheckBox* chkRealtime;
    QGroupBox* Frame4;
    std::array<QRadioButton*, 4> optSoundQuality{}; // 1 to 3
    QButtonGroup* soundQualityGroup;
    QLabel* Label6;
    QGroupBox* fraChannelsToTransform;
    std::array<QRadioButton*, 3> optChannelToTransform{}; // 0 to 2
    QButtonGroup* channelToTransformGroup;
    QPushButton* cmdMoreInfo;
    // "Interface"
    QCheckBox* chkPreviewEnd;
    QLabel* Label3;
    QCheckBox* chkShowTooltips;
    QLabel* Label4;
    // "CD"
    QPushButton* cmdChangeCD;
    // "Recording"
    QGroupBox* Frame1;
    std::array<QRadioButton*, 3> optRecordMode{}; // 1 and 2
    QButtonGroup* recordModeGroup;
    // Nothing to install on this system: always hidden.
    QPushButton* cmdASPIInstall;
    QGroupBox* fraAnalogRecordingOptions;
    QComboBox* cboRecordingSampleRate;
    QLabel* Label1;
    QComboBox* cboRecordingDepth;
    QLabel* Label2;
    QCheckBox* chkAutomaticallySetRecordingMixer;
    QPushButton* cmdShowRecordingMixer;
    QCheckBox* chkDeleteTempFiles;

    QPushButton* Command4;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildTransformationTab();
    void buildInterfaceTab();
    void buildCdTab();
    void buildRecordingTab();
    void storeCheckBox(const char* prefName, bool& variable, const QCheckBox* box);
    void commitCombo(QComboBox* box, const char* prefName, int& variable);
    bool closing_ = false;
    bool fillingControls_ = false;
};

} // namespace lentaro
