#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace lentaro {

class frmMain;

namespace cd {
class DigitalReader;
}

// The main window's answers to the end of a digital read (the reader's Failure and ReadComplete):
// the progress window closes and the window is usable again; a failure other than an abort
// offers analog recording from now on and returns to the "CD" view.
class RecordReaderEvents : public QObject
{
public:
    RecordReaderEvents(frmMain& main, cd::DigitalReader& ACD1);

    void ACD1_Failure(int Errorcode, const QString& ErrorString);
    void ACD1_ReadComplete();

    // Runs `action` once, first thing, when the read under way ends, whichever way.
    void whenReadEnds(std::function<void()> action) { readEnds_ = std::move(action); }

private:
    void readEnded();

    frmMain& main_;
    cd::DigitalReader& ACD1_;
    std::function<void()> readEnds_;
};

} // namespace lentaro
