#pragma once

#include "mainwindow/loopPoints.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

class QSqlTableModel;

namespace lentaro {

namespace mci {
class MMControl;
}

// What the main window holds that is not a widget: the members other windows read and write,
// the views saved while "SlowPlay" is shown, and the data controls over lentaro.mdb. The sides
// receive it with the controls they need.
class MainState : public QObject
{
    Q_OBJECT

public:
    MainState();
    ~MainState() override;

    // Read by several sides, written only through their setters, which signal a real change.
    int slowDownPercent() const { return slowDownPercent_; } // percent of the recorded speed
    int pitchChange() const { return pitchChange_; }         // in cents
    int currentView() const
    {
        return currentView_;
    } // loop-grid layout: 1 normal, 2 loop detail, 3 big lyrics
    mci::MMControl* currentMMControl() const { return currentMMControl_; }
    void setSlowDownPercent(int percent);
    void setPitchChange(int cents);
    void setCurrentView(int view);
    void setCurrentMMControl(mci::MMControl* control);

    int inPt = 0;  // the current loop's in point, ms
    int outPt = 0; // the current loop's out point, ms
    bool cdView = false;
    int prevStartTime = 0; // startTime of the current loop row, ms
    // The channel count of temp.wav, set by whatever makes it; 0 until the first one is made.
    int tempWavChannels = 0;
    // The marks of the loop maker, in memory until kept.
    loopPoints loopPointBuffer;

    // currentView, cdView and the wave device's file as they were when "SlowPlay" was entered.
    int savedCurrentView = 0;
    bool savedCdView = false;
    QString savedWaveFileName;

    // The data controls: the tracks of the disc shown, the loop points, the wave files. Null
    // until bindDatabase.
    QSqlTableModel* dtaTracks = nullptr;
    QSqlTableModel* dtaLoopPoints = nullptr;
    QSqlTableModel* WAVs = nullptr;

    // Opens the database file and binds the four data controls to their tables; false (with
    // the reason) when the file is no database with the program's current tables
    // (openDatabaseFile), the controls then stay unbound.
    bool bindDatabase(const QString& path, QString& reason);
    QSqlDatabase database() const { return db_; }

    // The disc shown, the one whose tracks and loops the grids hold: its CDs row's CDid ("No CD"
    // while no audio disc is in), 0 before the first check. Whatever belongs to the disc shown
    // is stored under this.
    int currentCDid = 0;
    // Binds the loop grid's data control to the loops of that disc, ordered by startTime; false
    // (with the reason) when the binding failed, the old one then stays.
    bool bindCdLoops(int cdID, QString& reason);

    // The "Wave Files" row WAVs stands on: its waveFileID, 0 for none.
    int currentWaveFileID = 0;
    // Binds the loop grid's data control to the loops of that wave file, ordered by startTime
    // and rows sharing a start by rowKey; false (with the reason) when the binding failed, the
    // old one then stays.
    bool bindWaveLoops(int waveFileID, QString& reason);
    // The wave file whose loops the loop grid's data control holds; 0 when it holds no wave
    // file's loops.
    int boundWaveFileID() const { return boundWaveFileID_; }
    // The CD view's state: the CD device current and the disc's loops bound, never those of the
    // wave file shown before. A binding that fails throws the database's error.
    void enterCdView(mci::MMControl& cdDevice);

signals:
    void slowDownPercentChanged(int percent);
    void pitchChangeChanged(int cents);
    void currentViewChanged(int view);
    void currentMMControlChanged(mci::MMControl* control);
    // bindDatabase has bound the four data controls.
    void tablesBound();
    // A view switch has settled: cdView, currentView and currentMMControl hold the new view.
    void viewChanged();
    // dtaLoopPoints is another model now; whoever shows it takes the new one.
    void loopsRebound();

private:
    bool bindLoops(const char* table, const char* key, int id, QString& reason);

    int slowDownPercent_ = 0;
    int pitchChange_ = 0;
    int currentView_ = 0;
    mci::MMControl* currentMMControl_ = nullptr;
    QString connection_;
    QSqlDatabase db_;
    int boundWaveFileID_ = 0;
};

} // namespace lentaro
