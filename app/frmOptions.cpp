#include "app/frmOptions.h"

#include "app/hints.h"
#include "app/optionstargets.h"
#include "app/preferences.h"
#include "app/preferencetext.h"
#include "app/programstate.h"
#include "app/recordingmixer.h"
#include "app/recordingsubprefs.h"
#include "app/windowhelpers.h"
#include "trace/tracescope.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lentaro {

namespace {

constexpr char module[] = "frmOptions";

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* note(const QString& text, const char* name, QWidget* parent)
{
    auto* label = named(new QLabel(text, parent), name);
    label->setWordWrap(true);
    return label;
}

QCheckBox* checkBox(const QString& caption, const char* name, QWidget* parent)
{
    return named(new QCheckBox(caption, parent), name);
}

QComboBox* numberCombo(const QStringList& items, const char* name, QWidget* parent)
{
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    return box;
}

// The option of a group with the given index; the caption's access key as given.
QRadioButton* option(QButtonGroup* group, int index, const QString& caption, const char* name,
                     QWidget* parent)
{
    auto* button = named(new QRadioButton(caption, parent), name);
    group->addButton(button, index);
    return button;
}

} // namespace

frmOptions::frmOptions() : forms::Form(QString::fromLatin1(formName))
{
    setWindowTitle(QStringLiteral("Options"));
    tabOptions = named(new QTabWidget(this), "tabOptions");
    buildTransformationTab();
    buildInterfaceTab();
    buildCdTab();
    buildRecordingTab();
    Command4 = named(new QPushButton(QStringLiteral("&Close"), this), "Command4");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command4);
    layout->addLayout(buttons);

    // Made on "Recording" so that selecting "Transformation" below is a change of tab.
    tabOptions->setCurrentIndex(3);
    connect(tabOptions, &QTabWidget::currentChanged, this, [this](int) { tabOptions_Click(-1); });
    for (QCheckBox* box : {chkAutoSlow, chkRealtime, chkPreviewEnd, chkShowTooltips,
                           chkDeleteTempFiles, chkAutomaticallySetRecordingMixer}) {
        connect(box, &QCheckBox::toggled, this, [this, box] {
            if (box == chkAutoSlow)
                chkAutoSlow_Click();
            else if (box == chkRealtime)
                chkRealtime_Click();
            else if (box == chkPreviewEnd)
                chkPreviewEnd_Click();
            else if (box == chkShowTooltips)
                chkShowTooltips_Click();
            else if (box == chkDeleteTempFiles)
                chkDeleteTempFiles_Click();
            else
                chkAutomaticallySetRecordingMixer_Click();
        });
    }
    // Selections made while filling run these as a click would.
    connect(soundQualityGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            optSoundQuality_Click(id);
    });
    connect(channelToTransformGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            optChannelToTransform_Click(id);
    });
    connect(recordModeGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            optRecordMode_Click(id);
    });
    cboRecordingDepth->installEventFilter(this);
    cboRecordingSampleRate->installEventFilter(this);
    connect(cmdMoreInfo, &QPushButton::clicked, this, &frmOptions::cmdMoreInfo_Click);
    connect(cmdChangeCD, &QPushButton::clicked, this, &frmOptions::cmdChangeCD_Click);
    connect(cmdShowRecordingMixer, &QPushButton::clicked, this,
            &frmOptions::cmdShowRecordingMixer_Click);
    connect(Command4, &QPushButton::clicked, this, &frmOptions::Command4_Click);

    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        fillingControls_ = true;
        adjustSize();
        centerform(this);
        tabOptions->setCurrentIndex(0);
        setPrefControls();
    });
}

void frmOptions::buildTransformationTab()
{
    auto* page = new QWidget;
    chkAutoSlow = checkBox(QStringLiteral("Automatic Transformation to Previous % and Pitch"),
                           "chkAutoSlow", page);
    Label5 = note(QStringLiteral("Transformation starts automatically when you enter Transform "
                                 "mode."),
                  "Label5", page);
    chkRealtime = checkBox(QStringLiteral("Transform in Real-Time (requires 300Mz Pentium or "
                                          "better)"),
                           "chkRealtime", page);

    Frame4 = named(new QGroupBox(QStringLiteral("Sound Quality"), page), "Frame4");
    soundQualityGroup = new QButtonGroup(this);
    auto* quality = new QVBoxLayout(Frame4);
    const char* qualityNames[] = {"", "optSoundQuality1", "optSoundQuality2", "optSoundQuality3"};
    const QString qualityCaptions[] = {{},
                                       QStringLiteral("Good (fastest)"),
                                       QStringLiteral("Better (medium-speed)"),
                                       QStringLiteral("Best (slowest)")};
    for (int i = 1; i <= 3; ++i) {
        optSoundQuality[i] =
            option(soundQualityGroup, i, qualityCaptions[i], qualityNames[i], Frame4);
        quality->addWidget(optSoundQuality[i]);
    }
    Label6 = note(QStringLiteral("Picking a lower sound quality enables some slower computers to "
                                 "use realtime transformation effectively."),
                  "Label6", page);

    // The stored value n takes the n-th sample of each frame, and a wave file's first sample
    // is its left channel.
    fraChannelsToTransform = named(new QGroupBox(QStringLiteral("Channels to Transform"), page),
                                   "fraChannelsToTransform");
    channelToTransformGroup = new QButtonGroup(this);
    auto* channels = new QVBoxLayout(fraChannelsToTransform);
    const char* channelNames[] = {"optChannelToTransform0", "optChannelToTransform1",
                                  "optChannelToTransform2"};
    const QString channelCaptions[] = {QStringLiteral("Both Channels"),
                                       QStringLiteral("Left Channel Only"),
                                       QStringLiteral("Right Channel Only")};
    for (int i = 0; i <= 2; ++i) {
        optChannelToTransform[i] = option(channelToTransformGroup, i, channelCaptions[i],
                                          channelNames[i], fraChannelsToTransform);
        channels->addWidget(optChannelToTransform[i]);
    }
    cmdMoreInfo = named(new QPushButton(QStringLiteral("More info..."), page), "cmdMoreInfo");

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(chkAutoSlow);
    layout->addWidget(Label5);
    layout->addWidget(chkRealtime);
    auto* frames = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(Frame4);
    left->addWidget(Label6);
    frames->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(fraChannelsToTransform);
    right->addWidget(cmdMoreInfo, 0, Qt::AlignRight);
    right->addStretch();
    frames->addLayout(right, 1);
    layout->addLayout(frames);
    layout->addStretch();
    tabOptions->addTab(page, QStringLiteral("Transformation"));
}

void frmOptions::buildInterfaceTab()
{
    auto* page = new QWidget;
    chkPreviewEnd =
        checkBox(QStringLiteral("Preview End First When Trimming"), "chkPreviewEnd", page);
    Label3 = note(QStringLiteral("Checking this is handy if you're using the sliders to adjust "
                                 "the end point of a long loop. With this checked, moving the "
                                 "End slider will cause the loop to start playing from 3 seconds "
                                 "before the end, rather than from the beginning."),
                  "Label3", page);
    chkShowTooltips = checkBox(QStringLiteral("Show Tooltips"), "chkShowTooltips", page);
    Label4 = note(QStringLiteral("When this is checked, explanations of many buttons and other "
                                 "items on the screen will appear if you move the cursor over "
                                 "them and leave it there for a second or two."),
                  "Label4", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(chkPreviewEnd);
    layout->addWidget(Label3);
    layout->addSpacing(12);
    layout->addWidget(chkShowTooltips);
    layout->addWidget(Label4);
    layout->addStretch();
    tabOptions->addTab(page, QStringLiteral("Interface"));
}

void frmOptions::buildCdTab()
{
    auto* page = new QWidget;
    cmdChangeCD =
        named(new QPushButton(QStringLiteral("Choose/Change CD Drive"), page), "cmdChangeCD");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(cmdChangeCD, 0, Qt::AlignLeft);
    layout->addStretch();
    tabOptions->addTab(page, QStringLiteral("CD"));
}

void frmOptions::buildRecordingTab()
{
    auto* page = new QWidget;
    Frame1 = named(new QGroupBox(QStringLiteral("Record Mode"), page), "Frame1");
    recordModeGroup = new QButtonGroup(this);
    optRecordMode[1] =
        option(recordModeGroup, 1, QStringLiteral("Digital"), "optRecordMode1", Frame1);
    cmdASPIInstall =
        named(new QPushButton(QStringLiteral("Install drivers.."), Frame1), "cmdASPIInstall");
    cmdASPIInstall->hide();
    optRecordMode[2] =
        option(recordModeGroup, 2, QStringLiteral("Analog"), "optRecordMode2", Frame1);

    fraAnalogRecordingOptions =
        named(new QGroupBox(QStringLiteral("Analog Recording Options"), Frame1),
              "fraAnalogRecordingOptions");
    cboRecordingSampleRate =
        numberCombo({QStringLiteral("11025"), QStringLiteral("22050"), QStringLiteral("44100")},
                    "cboRecordingSampleRate", fraAnalogRecordingOptions);
    Label1 = named(new QLabel(QStringLiteral("Samples Per Second"), fraAnalogRecordingOptions),
                   "Label1");
    cboRecordingDepth = numberCombo({QStringLiteral("8"), QStringLiteral("16")},
                                    "cboRecordingDepth", fraAnalogRecordingOptions);
    Label2 =
        named(new QLabel(QStringLiteral("Bits Per Sample"), fraAnalogRecordingOptions), "Label2");
    chkAutomaticallySetRecordingMixer =
        checkBox(QStringLiteral("Set Recording Mixer Automatically"),
                 "chkAutomaticallySetRecordingMixer", fraAnalogRecordingOptions);
    cmdShowRecordingMixer =
        named(new QPushButton(QStringLiteral("Show Recording Mixer"), fraAnalogRecordingOptions),
              "cmdShowRecordingMixer");
    auto* analog = new QFormLayout(fraAnalogRecordingOptions);
    analog->addRow(Label1, cboRecordingSampleRate);
    analog->addRow(Label2, cboRecordingDepth);
    analog->addRow(chkAutomaticallySetRecordingMixer);
    analog->addRow(cmdShowRecordingMixer);

    auto* mode = new QVBoxLayout(Frame1);
    auto* digitalRow = new QHBoxLayout;
    digitalRow->addWidget(optRecordMode[1]);
    digitalRow->addWidget(cmdASPIInstall);
    digitalRow->addStretch();
    mode->addLayout(digitalRow);
    mode->addWidget(optRecordMode[2]);
    mode->addWidget(fraAnalogRecordingOptions);

    chkDeleteTempFiles =
        checkBox(QStringLiteral("Delete temporary files on exit"), "chkDeleteTempFiles", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame1);
    layout->addWidget(chkDeleteTempFiles);
    layout->addStretch();
    tabOptions->addTab(page, QStringLiteral("Recording"));
}

void frmOptions::setPrefControls()
{
    TraceScope trace(module, "Sub setPrefControls");
    trace.run([&] {
        ProgramState& state = programState();
        chkAutoSlow->setChecked(state.gvAutoSlow);
        chkDeleteTempFiles->setChecked(state.gvDeleteTempFiles);
        chkPreviewEnd->setChecked(state.gvPreviewEnd);
        chkRealtime->setChecked(state.gvRealtime);
        chkShowTooltips->setChecked(state.gvShowTooltips);
        chkAutomaticallySetRecordingMixer->setChecked(state.gvAutomaticallySetRecordingMixer);
        for (int i = 0; i <= 2; ++i)
            if (state.gvChannelToTransform == i)
                optChannelToTransform[i]->setChecked(true);
        for (int i = 1; i <= 2; ++i)
            if (state.gvRecordMode == i)
                optRecordMode[i]->setChecked(true);
        for (int i = 1; i <= 3; ++i)
            if (state.gvSoundQuality == i)
                optSoundQuality[i]->setChecked(true);
        cboRecordingDepth->setEditText(QString::number(state.gvRecordingDepth));
        cboRecordingSampleRate->setEditText(QString::number(state.gvRecordingSampleRate));
        fillingControls_ = false;
    });
}

void frmOptions::tabOptions_Click(int PreviousTab)
{
    TraceScope trace(module, "Sub tabOptions_Click", {{"PreviousTab", PreviousTab}});
    trace.run([&] {
        const QString caption = tabOptions->tabText(tabOptions->currentIndex());
        const ProgramState& state = programState();
        if (caption == QLatin1String("Recording")) {
            fraAnalogRecordingOptions->setEnabled(optRecordMode[2]->isChecked());
            optRecordMode[1]->setEnabled(state.gvDigitalRecordingOK);
        } else if (caption == QLatin1String("Transformation")) {
            fraChannelsToTransform->setEnabled(state.gvRecordMode == 1);
        }
    });
}

void frmOptions::storeCheckBox(const char* prefName, bool& variable, const QCheckBox* box)
{
    if (fillingControls_)
        return;
    writePref(QString::fromLatin1(prefName), variable, box->isChecked());
}

void frmOptions::chkAutoSlow_Click()
{
    TraceScope trace(module, "Sub chkAutoSlow_Click");
    trace.run([&] { storeCheckBox("AutoSlow", programState().gvAutoSlow, chkAutoSlow); });
}

void frmOptions::chkRealtime_Click()
{
    TraceScope trace(module, "Sub chkRealtime_Click");
    trace.run([&] { storeCheckBox("Realtime", programState().gvRealtime, chkRealtime); });
}

void frmOptions::chkPreviewEnd_Click()
{
    TraceScope trace(module, "Sub chkPreviewEnd_Click");
    trace.run([&] { storeCheckBox("PreviewEnd", programState().gvPreviewEnd, chkPreviewEnd); });
}

void frmOptions::chkShowTooltips_Click()
{
    TraceScope trace(module, "Sub chkShowTooltips_Click");
    trace.run([&] {
        if (fillingControls_)
            return;
        storeCheckBox("ShowTooltips", programState().gvShowTooltips, chkShowTooltips);
        optionsTargets().checkTooltips();
    });
}

void frmOptions::chkDeleteTempFiles_Click()
{
    TraceScope trace(module, "Sub chkDeleteTempFiles_Click");
    trace.run([&] {
        storeCheckBox("DeleteTempFiles", programState().gvDeleteTempFiles, chkDeleteTempFiles);
    });
}

void frmOptions::chkAutomaticallySetRecordingMixer_Click()
{
    TraceScope trace(module, "Sub chkAutomaticallySetRecordingMixer_Click");
    trace.run([&] {
        storeCheckBox("AutomaticallySetRecordingMixer",
                      programState().gvAutomaticallySetRecordingMixer,
                      chkAutomaticallySetRecordingMixer);
    });
}

// Only a listed value is stored ("22050abc" stores 22050): a rate or depth nothing can record
// at, or 0, would reach the recording and the waveform view's arithmetic. Any other text shows
// the current value again.
void frmOptions::commitCombo(QComboBox* box, const char* prefName, int& variable)
{
    if (fillingControls_)
        return;
    const std::optional<int> number = wholeNumberOf(startingNumber(box->currentText()));
    if (number && box->findText(QString::number(*number)) >= 0)
        writePref(QString::fromLatin1(prefName), variable, *number);
    box->setEditText(QString::number(variable));
}

void frmOptions::cboRecordingDepth_LostFocus()
{
    TraceScope trace(module, "Sub cboRecordingDepth_LostFocus");
    trace.run(
        [&] { commitCombo(cboRecordingDepth, "RecordingDepth", programState().gvRecordingDepth); });
}

void frmOptions::cboRecordingSampleRate_LostFocus()
{
    TraceScope trace(module, "Sub cboRecordingSampleRate_LostFocus");
    trace.run([&] {
        if (fillingControls_)
            return;
        commitCombo(cboRecordingSampleRate, "RecordingSampleRate",
                    programState().gvRecordingSampleRate);
        getRecordingSubPrefs();
    });
}

void frmOptions::optSoundQuality_Click(int Index)
{
    TraceScope trace(module, "Sub optSoundQuality_Click", {{"Index", Index}});
    trace.run(
        [&] { writePref(QStringLiteral("SoundQuality"), programState().gvSoundQuality, Index); });
}

void frmOptions::optChannelToTransform_Click(int Index)
{
    TraceScope trace(module, "Sub optChannelToTransform_Click", {{"Index", Index}});
    trace.run([&] {
        writePref(QStringLiteral("ChannelToTransform"), programState().gvChannelToTransform, Index);
    });
}

void frmOptions::optRecordMode_Click(int Index)
{
    TraceScope trace(module, "Sub optRecordMode_Click", {{"Index", Index}});
    trace.run([&] {
        ProgramState& state = programState();
        // Showing the mode of this run is no choice: a start without the drive runs analog
        // without storing it.
        if (!fillingControls_)
            writePref(QStringLiteral("RecordMode"), state.gvRecordMode, Index);
        getRecordingSubPrefs();
        fraAnalogRecordingOptions->setEnabled(optRecordMode[2]->isChecked());
        if (Index == 2) {
            // An analog recording has one channel: its channel choice is always both.
            writePref(QStringLiteral("ChannelToTransform"), state.gvChannelToTransform, 0);
            optChannelToTransform[0]->setChecked(true);
        }
    });
}

void frmOptions::cmdMoreInfo_Click()
{
    TraceScope trace(module, "Sub cmdMoreInfo_Click");
    trace.run([&] { ShowHint(QStringLiteral("importantNote"), true); });
}

void frmOptions::cmdChangeCD_Click()
{
    TraceScope trace(module, "Sub cmdChangeCD_Click");
    trace.run([&] { optionsTargets().CDsetup(); });
}

void frmOptions::cmdShowRecordingMixer_Click()
{
    TraceScope trace(module, "Sub cmdShowRecordingMixer_Click");
    trace.run([&] { showRecordingMixer2(); });
}

void frmOptions::Command4_Click()
{
    TraceScope trace(module, "Sub Command4_Click");
    trace.run([&] {
        if (closing_)
            return;
        closing_ = true;
        // Alt+C moves no focus, so a combo being typed in has not committed yet.
        if (cboRecordingDepth->hasFocus())
            cboRecordingDepth_LostFocus();
        else if (cboRecordingSampleRate->hasFocus())
            cboRecordingSampleRate_LostFocus();
        ProgramState& state = programState();
        if (state.gvSlowMode && state.gvRealtime) {
            state.gvSlowedFileReady = false;
            optionsTargets().btnLoopPlay_Click();
        }
        unload();
    });
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !closing_) {
        if (watched == cboRecordingDepth)
            cboRecordingDepth_LostFocus();
        else if (watched == cboRecordingSampleRate)
            cboRecordingSampleRate_LostFocus();
    }
    return forms::Form::eventFilter(watched, event);
}

// A close from the title bar or with Escape is the Close button.
void frmOptions::closeEvent(QCloseEvent* event)
{
    event->accept();
    Command4_Click();
}

void frmOptions::reject()
{
    Command4_Click();
}

} // namespace lentaro
