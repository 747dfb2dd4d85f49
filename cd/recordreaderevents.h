#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLabel;

namespace lentaro {

class CdSideHost;
class CdSideLoops;

namespace cd {
class DigitalReader;
}

// The CD side's answers to the end of a digital read (the reader's Failure and ReadComplete):
// the progress window closes and the window is usable again; a failure other than an abort
// offers analog recording from now on and returns to the "CD" view.
class RecordReaderEvents : public QObject
{
public:
    RecordReaderEvents(QLabel& pnlMsg, CdSideHost& host, CdSideLoops& loops,
                       cd::DigitalReader& ACD1);

    void ACD1_Failure(int Errorcode, const QString& ErrorString);
    void ACD1_ReadComplete();

    // Runs `action` once, first thing, when the read under way ends, whichever way.
    void whenReadEnds(std::function<void()> action) { readEnds_ = std::move(action); }

private:
    void readEnded();

    QLabel& pnlMsg_;
    CdSideHost& host_;
    CdSideLoops& loops_;
    cd::DigitalReader& ACD1_;
    std::function<void()> readEnds_;
};

} // namespace lentaro
