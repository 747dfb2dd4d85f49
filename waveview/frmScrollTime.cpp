#include "waveview/frmScrollTime.h"

#include "app/preferencetext.h"
#include "app/programstate.h"
#include "app/webaddresses.h"
#include "app/workingfiles.h"
#include "controls/wgrid2/wGrid2.h"
#include "mainwindow/ignoringerrors.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "platform/forms/screenunits.h"
#include "platform/forms/windowhandles.h"
#include "platform/mci/MMControl.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"
#include "waveview/tempwav.h"
#include "waveview/wavechart.h"
#include "waveview/waveviewhost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

#include <cmath>
#include <limits>

namespace lentaro {

namespace {

constexpr char module[] = "scrollFastest";
// The loop's end lies this many ms before the wave control's length.
constexpr int endMarginMs = 15;
constexpr int highestQuality = 20;
constexpr int playLineInterval = 100;

QString readErrorText(const RuntimeError& error)
{
    return QStringLiteral("Error %1 occurred reading temp.wav into the graph\n\n%2\n\n"
                          "Please send email with the error description to %3. Thank you.")
        .arg(error.number())
        .arg(error.description(), supportEmailAddress);
}

std::int32_t longProduct(std::int64_t a, std::int64_t b)
{
    const std::int64_t product = a * b;
    if (product > std::numeric_limits<std::int32_t>::max()
        || product < std::numeric_limits<std::int32_t>::min())
        throw RuntimeError(errorNumbers::overflow);
    return static_cast<std::int32_t>(product);
}

} // namespace

frmScrollTime::frmScrollTime(WaveViewHost& host)
    : forms::Form(QString::fromLatin1(formName)),
      selection(*this),
      playPosition(*this),
      host_(host),
      conversionMarker(*this)
{
    buildControls();
    Form_Load();
}

frmScrollTime::~frmScrollTime() = default;

void frmScrollTime::buildControls()
{
    setWindowTitle(QStringLiteral("Wave View"));
    setModal(false);
    resize(800, 400);

    menuBar_ = new QMenuBar(this);
    Chart = new WaveChart(this);
    Chart->setObjectName(QStringLiteral("Chart"));
    connect(Chart, &WaveChart::resized, this, [this] { markersChanged(); });
    connect(Chart, &WaveChart::mouseDown, this, &frmScrollTime::Chart_MouseDown);
    buildGrid();
    mnuZoom = menuBar_->addMenu(QStringLiteral("&Zoom"));
    connect(mnuZoom->addAction(QStringLiteral("To &Selection")), &QAction::triggered, this,
            [this] { mnuZoom_Click(1); });
    connect(mnuZoom->addAction(QStringLiteral("&Out Full")), &QAction::triggered, this,
            [this] { mnuZoom_Click(2); });
    mnuOptions = menuBar_->addMenu(QStringLiteral("&Options"));
    mnuInvert = mnuOptions->addAction(QStringLiteral("&Invert Selection"));
    mnuInvert->setCheckable(true);
    mnuInvert->setChecked(true);
    // Checked or not, by the user or the stored preference: the chart shows it at once.
    connect(mnuInvert, &QAction::toggled, this, [this] { form_paint(); });
    connect(mnuInvert, &QAction::triggered, this, &frmScrollTime::mnuInvert_Click);
    connect(mnuOptions->addAction(QStringLiteral("Background Color")), &QAction::triggered, this,
            [this] { mnuBackgroundColor_Click(); });
    connect(mnuOptions->addAction(QStringLiteral("&Graph Color")), &QAction::triggered, this,
            [this] { mnuGraphColor_Click(); });
    connect(mnuOptions->addAction(QStringLiteral("Graphic Display Quality...")),
            &QAction::triggered, this, [this] { mnuGraphicDisplayQuality_Click(); });
    connect(mnuOptions->addAction(QStringLiteral("&Select All")), &QAction::triggered, this,
            [this] { mnuSelectAll_Click(); });
    connect(mnuOptions->addAction(QStringLiteral("Refresh &Display")), &QAction::triggered, this,
            [this] { mnuRefresh_Click(); });

    MMControl1 = new mci::MMControl(this);
    MMControl1->setObjectName(QStringLiteral("MMControl1"));
    MMControl1->useButtonsOnly({mci::Button::Play, mci::Button::Stop});
    connect(MMControl1, &mci::MMControl::playClick, this,
            [this](bool&) { MMControl1_PlayClick(); });
    connect(MMControl1, &mci::MMControl::stopClick, this,
            [this](bool&) { MMControl1_StopClick(); });
    connect(MMControl1, &mci::MMControl::gotFocus, this, [this] { MMControl1_GotFocus(); });

    lblHelp =
        new QLabel(QStringLiteral("Left-mouse button sets start; right button sets end"), this);
    lblHelp->adjustSize();
}

void frmScrollTime::Form_Load()
{
    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        try {
            formLoading = true;
            windowStyle = std::make_unique<CFormEx>();
            windowStyle->Init(forms::windowHandle(this));
            windowStyle->setOnTop(true);
            host_.showStatus(QStringLiteral("Generating Wave graphic, please wait."));
            QCoreApplication::processEvents();
            {
                const forms::ScopedScreenPointer hourglass(Qt::WaitCursor);
                ReadSlowdownFile();
                playPosition.Hide();
                selection.startMarker.setSamplePosition(1);
                selectToEnd();
                selection.startMarker.Hide();
                selection.endMarker.Hide();
            }
            Form_Resize();
            loadFormPrefs();
            show();
            raise();
            activateWindow();
            Chart->setFocus();
            host_.setWaveControlUpdateInterval(playLineInterval);
            // The graphic is up: the wait is over.
            host_.showStatus(QString());
            formLoading = false;
        } catch (...) {
            MsgBox(QStringLiteral(
                "There was an error loading the form. Please try again, or shut down Lentaro "
                "and/or Windows and try again."));
            unload();
        }
    });
}

forms::Answer frmScrollTime::MsgBox(const QString& text)
{
    return forms::MsgBox(text, forms::Buttons::OkOnly, forms::Icon::None, {}, this);
}

QString frmScrollTime::InputBox(const QString& prompt, const QString& defaultText)
{
    return forms::InputBox(prompt, {}, defaultText, this);
}

void frmScrollTime::ReadSlowdownFile()
{
    TraceScope trace(module, "Sub ReadSlowdownFile");
    trace.run([&] {
        ProgramState& program = programState();
        graphStep_ = std::clamp(program.gvGraphStep, 1, highestQuality);
        samplesPerMs_ = program.gvSamplesPerMs;
        channels_ = 0;
        const HeldRedraw held(*Chart);
        try {
            TempWav wav = readTempWav(tempWav(), graphStep_);
            samplesPerMs_ = wav.samplesPerMs;
            channels_ = wav.channels;
            Chart->setSeries(std::move(wav.series));
        } catch (const RuntimeError& error) {
            Chart->setSeries(WaveSeries({}, graphStep_));
            MsgBox(readErrorText(error));
        }
    });
}

void frmScrollTime::SetDataRange(std::int64_t First, std::int64_t Last)
{
    TraceScope trace(module, "Sub SetDataRange", {{"First", First}, {"Last", Last}});
    trace.run([&] {
        try {
            const HeldRedraw held(*Chart);
            Chart->setXRange(double(longProduct(graphStep_, First)) - 1,
                             double(longProduct(graphStep_, Last)) - 1);
            markersChanged();
            ignoringErrors([&] { placeGrid(); });
        } catch (...) {
            MsgBox(QStringLiteral("There was an error setting the data range for the graph. "
                                  "First = %1; Last = %2")
                       .arg(First)
                       .arg(Last));
        }
    });
}

void frmScrollTime::resizeEvent(QResizeEvent* event)
{
    forms::Form::resizeEvent(event);
    Form_Resize();
}

void frmScrollTime::Form_Resize()
{
    // Laid out in the client area: the chart under the menu bar, the transport and the help text
    // in the strip below it.
    ignoringErrors([&] {
        const double tppx = forms::twipsPerPixel(*this);
        const int top = menuBar_->sizeHint().height();
        menuBar_->setGeometry(0, 0, width(), top);
        const int strip = static_cast<int>(std::lround(chartBottomMargin / tppx));
        const int chartHeight = std::max(0, height() - top - strip);
        {
            const HeldRedraw held(*Chart);
            Chart->setGeometry(
                0, top, width() + static_cast<int>(std::lround(chartOverhang / tppx)), chartHeight);
        }
        const int stripTop = top + chartHeight;
        const QSize transport = MMControl1->sizeHint();
        MMControl1->setGeometry(width() - transport.width() - 8,
                                stripTop + (strip - transport.height()) / 2, transport.width(),
                                transport.height());
        lblHelp->move(8, stripTop + (strip - lblHelp->height()) / 2);
    });
    ignoringErrors([&] { wGrid21->setGeometry(Chart->geometry()); });
    if (!formLoading)
        ignoringErrors([&] { placeGrid(); });
    ignoringErrors([&] { form_paint(); });
}

void frmScrollTime::form_paint()
{
    ignoringErrors([&] {
        selection.erase();
        Chart->refresh();
        if (mnuInvert->isChecked())
            selection.invert();
        markersChanged();
    });
}

void frmScrollTime::mnuRefresh_Click()
{
    TraceScope trace(module, "Sub mnuRefresh_Click");
    trace.run([&] {
        playPosition.Hide();
        form_paint();
    });
}

void frmScrollTime::mnuZoom_Click(int Index)
{
    TraceScope trace(module, "Sub mnuZoom_Click", {{"Index", Index}});
    trace.run([&] {
        const std::int64_t count = Chart->series().count();
        if (Index != 1) {
            if (count > 1)
                SetDataRange(1, count);
            return;
        }
        const double factor = expansionFactor();
        if (factor == 0 || count == 0)
            return;
        const auto first = wholeNumberOf(selection.startMarker.samplePosition() / factor);
        const auto last = wholeNumberOf(selection.endMarker.samplePosition() / factor);
        // An empty or reversed selection would leave an axis of no width.
        if (!first || !last || *last <= *first)
            return;
        SetDataRange(*first, *last);
    });
}

void frmScrollTime::mnuGraphicDisplayQuality_Click()
{
    TraceScope trace(module, "Sub mnuGraphicDisplayQuality_Click");
    trace.run([&] {
        ProgramState& program = programState();
        const QString answer = forms::InputBox(
            QStringLiteral("Please enter a number between 1 and %1 for graphic quality. Higher "
                           "numbers give you higher resolution but take longer to display. The "
                           "number here does not affect the sound quality, just the graphic "
                           "quality.")
                .arg(highestQuality),
            QStringLiteral("Enter quality factor"),
            QString::number(highestQuality + 1 - program.gvGraphStep), this);
        const int quality = wholeNumberOf(startingNumber(answer)).value_or(0);
        if (quality < 1 || quality > highestQuality)
            return;
        program.gvGraphStep = highestQuality + 1 - quality;
        MsgBox(QStringLiteral("The new value will take effect the next time you create a graph."));
    });
}

void frmScrollTime::selectToEnd()
{
    const int length = host_.waveControlLength();
    if (length > endMarginMs) {
        selection.endMarker.setMsPosition(length - endMarginMs);
        return;
    }
    // Nothing open in the wave control yet: the end of the chart on the slowed timeline.
    const double factor = expansionFactor();
    const double end = double(Chart->series().count()) * (factor == 0 ? 1.0 : factor);
    selection.endMarker.setSamplePosition(
        std::max(selection.startMarker.samplePosition(), wholeNumberOf(end).value_or(1)));
}

void frmScrollTime::mnuSelectAll_Click()
{
    TraceScope trace(module, "Sub mnuSelectAll_Click");
    trace.run([&] {
        ignoringErrors([&] { selection.startMarker.setSamplePosition(1); });
        ignoringErrors([&] { selectToEnd(); });
        ignoringErrors([&] { playPosition.Hide(); });
        ignoringErrors([&] {
            MMControl1->setWait(true);
            MMControl1->setCommand(QStringLiteral("Stop"));
        });
        ignoringErrors([&] { mnuRefresh_Click(); });
        ignoringErrors([&] { MMControl1_PlayClick(); });
    });
}

void frmScrollTime::Chart_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int x)
{
    TraceScope trace(module, "Sub Chart_MouseDown", {{"Button", int(Button)}, {"x", x}});
    trace.run([&] {
        MMControl1_StopClick();
        if (Shift == Qt::NoModifier && Button == Qt::LeftButton)
            selection.startMarker.setPixelPosition(x);
        else if (Shift == Qt::NoModifier && Button == Qt::RightButton)
            selection.endMarker.setPixelPosition(x);
        const std::int32_t start = selection.startMarker.samplePosition();
        const std::int32_t end = selection.endMarker.samplePosition();
        if (end < start) {
            selection.endMarker.setSamplePosition(start);
            selection.startMarker.setSamplePosition(end);
        }
        playPosition.Hide();
        form_paint();
        MMControl1_PlayClick();
    });
}

void frmScrollTime::stopCurrentControl()
{
    if (mci::MMControl* control = host_.currentMMControl()) {
        control->setWait(true);
        control->setCommand(QStringLiteral("Stop"));
    }
}

void frmScrollTime::MMControl1_PlayClick()
{
    TraceScope trace(module, "Sub MMControl1_PlayClick");
    ignoringErrors([&] { playPosition.Hide(); });
    std::optional<int> from;
    std::optional<int> to;
    ignoringErrors([&] { from = wholeNumberOf(selection.startMarker.msPosition()); });
    ignoringErrors([&] { to = wholeNumberOf(selection.endMarker.msPosition()); });
    // An empty selection would replay at once, over and over.
    if (from && to && *to > *from) {
        ignoringErrors([&] {
            mci::MMControl* control = host_.currentMMControl();
            if (!control)
                return;
            control->setFrom(*from);
            control->setTo(*to);
            host_.playSlowDownLoop();
        });
    }
    ignoringErrors([&] { setFocus(); });
}

void frmScrollTime::MMControl1_StopClick()
{
    TraceScope trace(module, "Sub MMControl1_StopClick");
    ignoringErrors([&] { programState().gvPlayState.setState(false); });
    ignoringErrors([&] { playPosition.Hide(); });
    ignoringErrors([&] { stopCurrentControl(); });
}

void frmScrollTime::MMControl1_GotFocus()
{
    TraceScope trace(module, "Sub MMControl1_GotFocus");
    trace.run([&] { Chart->setFocus(); });
}

int frmScrollTime::pixelPos(int ms)
{
    TraceScope trace(module, "Function pixelPos", {{"ms", ms}});
    return trace.run(-1, [&] {
        conversionMarker.setMsPosition(ms);
        return conversionMarker.pixelPosition();
    });
}

int frmScrollTime::msPos(int pixel)
{
    TraceScope trace(module, "Function msPos", {{"pixel", pixel}});
    return trace.run(0, [&] {
        conversionMarker.setPixelPosition(pixel);
        if (const std::optional<int> ms = wholeNumberOf(conversionMarker.msPosition()))
            return *ms;
        throw RuntimeError(errorNumbers::overflow);
    });
}

double frmScrollTime::expansionFactor()
{
    return host_.expansionFactor();
}

void frmScrollTime::markersChanged()
{
    WaveChart::Overlay overlay;
    for (wmarker* marker : {&playPosition, &selection.startMarker, &selection.endMarker}) {
        if (marker->visible())
            overlay.lines.push_back(marker->pixelPosition());
    }
    overlay.boxShown = selection.inverted();
    if (overlay.boxShown) {
        overlay.boxFrom = selection.startMarker.pixelPosition();
        overlay.boxTo = selection.endMarker.pixelPosition();
    }
    Chart->setOverlay(overlay);
}

void frmScrollTime::formUnload()
{
    Form_Unload();
}

void frmScrollTime::closeEvent(QCloseEvent* event)
{
    // The close box hides the view; the chart, the markers and the selection stay.
    if (!unloading()) {
        event->ignore();
        closedAt_ = pos();
        hide();
        return;
    }
    forms::Form::closeEvent(event);
}

void frmScrollTime::showAgain()
{
    show();
    // A window shown again may be placed anew (a window manager puts it below its old place by
    // its title bar): it goes back where the user left it.
    if (closedAt_)
        move(*closedAt_);
    raise();
    activateWindow();
}

void frmScrollTime::reject()
{
    // Escape leaves the view as it is.
}

} // namespace lentaro
