#pragma once

#include "platform/forms/form.h"
#include "platform/forms/prompts.h"

#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lentaro {

class Mp3Decoder;

// What the MP3 conversion asks of the main window once a wave file is made, and the window
// itself, which the dialog opens centred on (on the screen without one).
struct Mp3FormTargets {
    std::function<void(const QString& fn)> addToMRUs;
    std::function<void(const QString& fn)> playWaveFile;
    std::function<void(const QString& theMode, bool suppressRefresh)> changeToMode;
    const QWidget* window = nullptr;
};

// The MP3 conversion dialog: the MP3 file named in its input box becomes the wave file named in
// its output box, with the decoder's progress shown, and the new file may be opened in the
// "Wave" view. Shown modally.
class mp3form : public forms::Form
{
    Q_OBJECT

public:
    static constexpr const char* formName = "mp3form";

    explicit mp3form(Mp3FormTargets targets);

    void adjustButtons(bool converting);
    // 0 chooses the input, 1 the output.
    void cmdBrowse_Click(int Index);
    void txtInputMP3file_Change();
    void txtOutputWaveFile_Change();
    void cmdConvert_Click();
    void cmdCancel_Click();
    void cmdClose_Click();
    void MP3_PlaybackPosition(int Position, const QString& TimePosition);
    void MP3_PlaybackFinished();
    void MP3_PlaybackFailed(int number, const QString& description);

    Mp3Decoder* mp3;
    QLineEdit* txtInputMP3file;
    QLineEdit* txtOutputWaveFile;
    QPushButton* cmdBrowse[2];
    QPushButton* cmdConvert;
    QPushButton* cmdCancel;
    QPushButton* cmdClose;
    QLabel* lblMP3length;
    QLabel* lblProgress;
    forms::FileDialogRequest cdlgMP3input;
    forms::FileDialogRequest cdlgWaveOutput;

protected:
    void formUnload() override;

private:
    void convertMP3();
    // Opens the file the input box names: false, once the user has been told why, when it
    // cannot be read as MP3.
    bool openInput();
    // Why the output box names no file a conversion may write, or "" when it does.
    QString outputRefusal() const;

    Mp3FormTargets targets_;
    // The output the save dialog chose, which the user has agreed to replace if it exists.
    QString replacementAgreed_;
};

} // namespace lentaro
