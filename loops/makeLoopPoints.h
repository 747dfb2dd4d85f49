#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace lentaro {

class LoopSideOfMain;
class MainState;

// The loop maker: each press of its marking button marks the play position, closing the loop
// the previous mark opened; Keep marks the last end, stores every loop in one go and plays the
// first. Its close box drops the marks. Shown modal without an event loop of its own, so a mark
// made while it is open only adds a line.
class makeLoopPoints : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char* formName = "makeLoopPoints";
    static constexpr const char* endpointNotSet = "Endpoint not set yet.";

    // Owned by window, its marks kept in state's loopPointBuffer.
    makeLoopPoints(LoopSideOfMain& loops, QWidget& window, MainState& state);

    // Shows the window modal and returns at once.
    void open() override;

    void reset();
    void cmdCompletePreviousLoop_MouseDown();
    void btnKeep_Click();

    QLabel* lblStarts;
    QListWidget* lstStarts;
    QLabel* lblEnds;
    QListWidget* lstEnds;
    QPushButton* cmdCompletePreviousLoop;
    QPushButton* btnKeep;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void keepInStep(QListWidget& from, QListWidget& to);
    void listMarks();

    LoopSideOfMain& loops_;
    MainState& state_;
    bool unloading_ = false;
};

} // namespace lentaro
