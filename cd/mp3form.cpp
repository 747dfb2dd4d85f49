#include "cd/mp3form.h"

#include "app/windowhelpers.h"
#include "cd/mp3decoder.h"
#include "trace/tracescope.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lentaro {

namespace {

constexpr char module[] = "mp3form";

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists()
           && first.canonicalFilePath() == second.canonicalFilePath();
}

// temp.wav and tempslow.wav belong to the slow-down road, in whatever folder they are named.
bool namesWorkingFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.compare(QLatin1String("temp.wav"), Qt::CaseInsensitive) == 0
           || name.compare(QLatin1String("tempslow.wav"), Qt::CaseInsensitive) == 0;
}

} // namespace

mp3form::mp3form(Mp3FormTargets targets)
    : forms::Form(QString::fromLatin1(formName)), targets_(std::move(targets))
{
    setWindowTitle(QStringLiteral("MP3 conversion"));
    mp3 = new Mp3Decoder(this);
    txtInputMP3file = new QLineEdit(this);
    txtInputMP3file->setObjectName(QStringLiteral("txtInputMP3file"));
    txtOutputWaveFile = new QLineEdit(this);
    txtOutputWaveFile->setObjectName(QStringLiteral("txtOutputWaveFile"));
    for (int i = 0; i < 2; ++i)
        cmdBrowse[i] = button(QStringLiteral("Find"), QStringLiteral("cmdBrowse%1").arg(i), this);
    cmdConvert = button(QStringLiteral("Convert"), QStringLiteral("cmdConvert"), this);
    cmdCancel = button(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"), this);
    cmdClose = button(QStringLiteral("Close"), QStringLiteral("cmdClose"), this);
    lblMP3length = new QLabel(QStringLiteral("MP3 Length: 00:00"), this);
    lblMP3length->setObjectName(QStringLiteral("lblMP3length"));
    lblProgress = new QLabel(QStringLiteral("Progress"), this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setVisible(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("MP3 file to convert:"), this), 0, 0, 1, 2);
    grid->addWidget(txtInputMP3file, 1, 0);
    grid->addWidget(cmdBrowse[0], 1, 1);
    grid->addWidget(lblMP3length, 2, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Full Path and Name of New Wave File"), this), 3, 0,
                    1, 2);
    grid->addWidget(txtOutputWaveFile, 4, 0);
    grid->addWidget(cmdBrowse[1], 4, 1);
    grid->addWidget(lblProgress, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdConvert);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 6, 0, 1, 2);
    setMinimumWidth(480);

    cdlgMP3input.kind = forms::FileDialogRequest::Kind::Open;
    cdlgMP3input.caption = QStringLiteral("Select MP3 file to convert");
    cdlgMP3input.filter = QStringLiteral("MP3 files (*.mp3)");
    cdlgWaveOutput.kind = forms::FileDialogRequest::Kind::Save;
    cdlgWaveOutput.caption = QStringLiteral("Create New Wave File");
    cdlgWaveOutput.filter = QStringLiteral("Wave files (*.wav)");
    cdlgWaveOutput.defaultSuffix = QStringLiteral("wav");

    for (int i = 0; i < 2; ++i)
        connect(cmdBrowse[i], &QPushButton::clicked, this, [this, i] { cmdBrowse_Click(i); });
    connect(txtInputMP3file, &QLineEdit::textChanged, this, &mp3form::txtInputMP3file_Change);
    connect(txtOutputWaveFile, &QLineEdit::textChanged, this, &mp3form::txtOutputWaveFile_Change);
    connect(cmdConvert, &QPushButton::clicked, this, &mp3form::cmdConvert_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &mp3form::cmdCancel_Click);
    connect(cmdClose, &QPushButton::clicked, this, &mp3form::cmdClose_Click);
    connect(mp3, &Mp3Decoder::PlaybackPosition, this, &mp3form::MP3_PlaybackPosition);
    connect(mp3, &Mp3Decoder::PlaybackFinished, this, &mp3form::MP3_PlaybackFinished);
    connect(mp3, &Mp3Decoder::PlaybackFailed, this, &mp3form::MP3_PlaybackFailed);

    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        if (targets_.window)
            centerOver(*this, *targets_.window);
        else
            centerform(this);
        adjustButtons(false);
    });
}

void mp3form::adjustButtons(bool converting)
{
    TraceScope trace(module, "Sub adjustButtons", {{"converting", converting}});
    trace.run([&] {
        cmdBrowse[0]->setEnabled(!converting);
        cmdBrowse[1]->setEnabled(!converting);
        cmdClose->setEnabled(!converting);
        cmdCancel->setEnabled(converting);
        cmdConvert->setEnabled(!converting && !txtInputMP3file->text().isEmpty()
                               && !txtOutputWaveFile->text().isEmpty()
                               && QFileInfo(txtInputMP3file->text()).isFile());
    });
}

void mp3form::cmdBrowse_Click(int Index)
{
    TraceScope trace(module, "Sub cmdBrowse_Click", {{"Index", Index}});
    trace.run([&] {
        if (Index == 0) {
            const auto chosen = forms::prompts().fileDialog(cdlgMP3input);
            if (!chosen)
                return;
            txtInputMP3file->setText(*chosen);
            openInput();
        } else {
            // The file named is replaced only once the conversion is complete; the dialog has
            // asked about an existing one.
            const auto chosen = forms::prompts().fileDialog(cdlgWaveOutput);
            if (chosen) {
                txtOutputWaveFile->setText(*chosen);
                replacementAgreed_ = *chosen;
            }
        }
    });
}

void mp3form::txtInputMP3file_Change()
{
    TraceScope trace(module, "Sub txtInputMP3file_Change");
    trace.run([&] { adjustButtons(mp3->converting()); });
}

void mp3form::txtOutputWaveFile_Change()
{
    TraceScope trace(module, "Sub txtOutputWaveFile_Change");
    trace.run([&] { adjustButtons(mp3->converting()); });
}

void mp3form::cmdConvert_Click()
{
    TraceScope trace(module, "Sub cmdConvert_Click");
    trace.run([&] {
        convertMP3();
        // A conversion that did not start leaves the dialog idle.
        adjustButtons(mp3->converting());
    });
}

void mp3form::convertMP3()
{
    TraceScope trace(module, "Sub convertMP3");
    trace.run([&] {
        // A name typed without an extension is a wave file's, as the dialog makes it.
        txtOutputWaveFile->setText(
            forms::withDefaultSuffix(txtOutputWaveFile->text(), cdlgWaveOutput.defaultSuffix));
        const QString output = txtOutputWaveFile->text();
        const QString refusal = outputRefusal();
        if (!refusal.isEmpty()) {
            forms::MsgBox(refusal);
            return;
        }
        if (QFileInfo::exists(output) && output != replacementAgreed_
            && !forms::confirm(output
                               + QStringLiteral(" already exists. Do you want to replace "
                                                "it?")))
            return;
        // The file named in the box now, whatever Find opened before.
        if (!openInput())
            return;
        lblProgress->setVisible(true);
        try {
            mp3->setOutput(output);
            mp3->start();
        } catch (const Mp3FileError& error) {
            forms::MsgBox(error.description(), forms::Buttons::OkOnly, forms::Icon::Exclamation);
        }
    });
}

bool mp3form::openInput()
{
    try {
        mp3->close();
        mp3->open(txtInputMP3file->text());
        lblMP3length->setText(QStringLiteral("Length: ") + mp3->lengthText());
        return true;
    } catch (const Mp3FileError& error) {
        lblMP3length->setText(QStringLiteral("MP3 Length: 00:00"));
        forms::MsgBox(error.description(), forms::Buttons::OkOnly, forms::Icon::Exclamation);
        return false;
    }
}

QString mp3form::outputRefusal() const
{
    const QString output = txtOutputWaveFile->text();
    if (namesWorkingFile(output))
        return QStringLiteral("Please choose a different name. Lentaro keeps temp.wav and "
                              "tempslow.wav for itself.");
    if (sameFile(output, txtInputMP3file->text()))
        return QStringLiteral("Please choose a different name. The wave file cannot take the "
                              "place of the MP3 file it is made from.");
    return {};
}

void mp3form::cmdCancel_Click()
{
    TraceScope trace(module, "Sub cmdCancel_Click");
    trace.run([&] {
        mp3->stop();
        adjustButtons(false);
    });
}

void mp3form::cmdClose_Click()
{
    TraceScope trace(module, "Sub cmdClose_Click");
    trace.run([&] { unload(); });
}

void mp3form::formUnload()
{
    TraceScope trace(module, "Sub Form_Unload");
    trace.run([&] {
        mp3->stop();
        mp3->close();
    });
}

void mp3form::MP3_PlaybackPosition(int Position, const QString& TimePosition)
{
    TraceScope trace(module, "Sub MP3_PlaybackPosition",
                     {{"Position", Position}, {"TimePosition", TimePosition}});
    trace.run([&] { lblProgress->setText(TimePosition); });
}

void mp3form::MP3_PlaybackFinished()
{
    TraceScope trace(module, "Sub MP3_PlaybackFinished");
    trace.run([&] {
        const QString path = txtOutputWaveFile->text();
        cmdCancel->setEnabled(false);
        targets_.addToMRUs(path);
        if (!mp3->cutShort().isEmpty())
            forms::MsgBox(mp3->cutShort(), forms::Buttons::OkOnly, forms::Icon::Exclamation);
        QApplication::beep();
        if (!forms::confirm(QStringLiteral("Done converting. Open file now?"))) {
            adjustButtons(false);
            return;
        }
        // The window goes once control is back in the event loop; what it calls on is kept here.
        const Mp3FormTargets targets = targets_;
        unload();
        targets.playWaveFile(path);
        targets.changeToMode(QStringLiteral("Wave"), false);
    });
}

void mp3form::MP3_PlaybackFailed(int number, const QString& description)
{
    TraceScope trace(module, "Sub MP3_PlaybackFailed",
                     {{"number", number}, {"description", description}});
    trace.run([&] {
        adjustButtons(false);
        forms::MsgBox(description, forms::Buttons::OkOnly, forms::Icon::Exclamation);
    });
}

} // namespace lentaro
