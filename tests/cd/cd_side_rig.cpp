#include "tests/cd/cd_side_rig.h"

#include "app/programstate.h"
#include "platform/mci/MMControl.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace lentaro::test {

namespace {

constexpr int tmsfFormat = 10;

template <class Widget>
Widget* placed(QWidget& window, const char* name, Widget* widget)
{
    widget->setObjectName(QString::fromLatin1(name));
    window.layout()->addWidget(widget);
    return widget;
}

mci::MMControl* device(QWidget& window, const char* name, const char* type)
{
    auto* control = placed(window, name, new mci::MMControl(&window));
    control->setDeviceType(QString::fromLatin1(type));
    return control;
}

} // namespace

CdSideRig::CdSideRig()
{
    setLayout(new QVBoxLayout);
    CDControl = device(*this, "CDControl", "CDAudio");
    WaveControl = device(*this, "WaveControl", "WaveAudio");
    tgTracks = placed(*this, "tgTracks", new QTableView(this));
    loopPoints = placed(*this, "loopPoints", new QTableView(this));
    CDTitle = placed(*this, "CDTitle", new QLineEdit(this));
    Artist = placed(*this, "Artist", new QLineEdit(this));
    Comments = placed(*this, "Comments", new QLineEdit(this));
    lblTrackComments = placed(*this, "lblTrackComments", new QLabel(this));
    txtCurrentPosition = placed(*this, "txtCurrentPosition", new QLineEdit(this));
    sbTrackPos = placed(*this, "sbTrackPos", new QScrollBar(Qt::Horizontal, this));
    cmdStartNewLoop = placed(*this, "cmdStartNewLoop", new QPushButton(this));
    pnlMsg = placed(*this, "pnlMsg", new QLabel(this));
    pnlCDlength = placed(*this, "pnlCDlength", new QLabel(this));
    pnlTrackLength = placed(*this, "pnlTrackLength", new QLabel(this));
    mnuTrackGridPopup = new QMenu(this);
    mnuOpenNotationFile = mnuTrackGridPopup->addAction(QStringLiteral("Open notation file"));
    mnuChangeNotationFile = mnuTrackGridPopup->addAction(QStringLiteral("Change notation file"));
    mnuDigitalRec = mnuTrackGridPopup->addAction(QStringLiteral("Record digitally"));
    mnuViewHelpTracksGrid = mnuTrackGridPopup->addAction(QStringLiteral("Help"));
    state_.setCurrentMMControl(CDControl);
    state_.cdView = true;
}

CdSideControls CdSideRig::controls()
{
    return {state_,
            *this,
            *CDControl,
            *WaveControl,
            *tgTracks,
            *loopPoints,
            *CDTitle,
            *Artist,
            *Comments,
            *lblTrackComments,
            *txtCurrentPosition,
            *sbTrackPos,
            *cmdStartNewLoop,
            *pnlMsg,
            *pnlCDlength,
            *pnlTrackLength,
            *mnuTrackGridPopup,
            *mnuOpenNotationFile,
            *mnuChangeNotationFile,
            *mnuDigitalRec,
            *mnuViewHelpTracksGrid,
            cdNotationFile};
}

void CdSideRig::changeToMode(const QString& theMode, bool)
{
    modes.push_back(theMode);
    const auto is = [&](const char* mode) {
        return theMode.compare(QLatin1String(mode), Qt::CaseInsensitive) == 0;
    };
    programState().gvSlowMode = is("SlowPlay");
    if (is("CD") || is("Wave")) {
        state_.cdView = is("CD");
        state_.setCurrentMMControl(state_.cdView ? CDControl : WaveControl);
    }
    emit state_.viewChanged();
}

bool CdSideRig::playing()
{
    return state_.currentMMControl()
           && state_.currentMMControl()->mode() == static_cast<int>(mci::Mode::Playing);
}

void CdSideRig::tmsf()
{
    state_.currentMMControl()->setWait(true);
    state_.currentMMControl()->setTimeFormat(tmsfFormat);
}

bool CdSideRig::playWaveFile(const QString& fn)
{
    wavesOpened.push_back(fn);
    return true;
}

} // namespace lentaro::test
