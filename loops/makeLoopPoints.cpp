#include "loops/makeLoopPoints.h"

#include "app/messages.h"
#include "app/windowhelpers.h"
#include "loops/loopSide.h"
#include "mainwindow/mainstate.h"
#include "trace/tracescope.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSqlRecord>

#include <vector>

namespace lentaro {

namespace {

constexpr char module[] = "makeLoopPoints";

} // namespace

makeLoopPoints::makeLoopPoints(LoopSideOfMain& loops, QWidget& window, MainState& state)
    : QDialog(&window), loops_(loops), state_(state)
{
    setObjectName(QString::fromLatin1(formName));
    setWindowTitle(QStringLiteral("Make Loop Points"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    lblStarts = new QLabel(QStringLiteral("Loop Start Points"), this);
    lblEnds = new QLabel(QStringLiteral("Loop End Points"), this);
    lstStarts = new QListWidget(this);
    lstEnds = new QListWidget(this);
    cmdCompletePreviousLoop =
        new QPushButton(QStringLiteral("Complete Previous Loop and Start New Loop"), this);
    cmdCompletePreviousLoop->setToolTip(QStringLiteral("Click to create a new loop point."));
    btnKeep = new QPushButton(QStringLiteral("Complete Current Loop and Close Window"), this);
    grid->addWidget(lblStarts, 0, 0);
    grid->addWidget(lblEnds, 0, 1);
    grid->addWidget(lstStarts, 1, 0);
    grid->addWidget(lstEnds, 1, 1);
    grid->addWidget(cmdCompletePreviousLoop, 2, 0, 1, 2);
    grid->addWidget(btnKeep, 3, 0, 1, 2);

    // Marking answers the press: holding the button must not hold the mark back.
    connect(cmdCompletePreviousLoop, &QPushButton::pressed, this,
            &makeLoopPoints::cmdCompletePreviousLoop_MouseDown);
    connect(btnKeep, &QPushButton::clicked, this, &makeLoopPoints::btnKeep_Click);
    connect(lstStarts, &QListWidget::currentRowChanged, this,
            [this] { keepInStep(*lstStarts, *lstEnds); });
    connect(lstEnds, &QListWidget::currentRowChanged, this,
            [this] { keepInStep(*lstEnds, *lstStarts); });
    connect(lstStarts->verticalScrollBar(), &QScrollBar::valueChanged, lstEnds->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(lstEnds->verticalScrollBar(), &QScrollBar::valueChanged, lstStarts->verticalScrollBar(),
            &QScrollBar::setValue);
    reset();
    resize(420, 320);
    centerform(this);
}

void makeLoopPoints::open()
{
    setWindowModality(Qt::ApplicationModal);
    show();
}

void makeLoopPoints::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (btnKeep->isVisible())
        btnKeep->setFocus();
}

void makeLoopPoints::keepInStep(QListWidget& from, QListWidget& to)
{
    if (to.currentRow() != from.currentRow())
        to.setCurrentRow(from.currentRow());
}

void makeLoopPoints::reset()
{
    lstStarts->clear();
    lstEnds->clear();
    if (state_.loopPointBuffer.Count() > 0)
        lstStarts->addItem(state_.loopPointBuffer.Item(1)->startTimeTTMMSS);
    lstEnds->addItem(QString::fromLatin1(endpointNotSet));
}

void makeLoopPoints::listMarks()
{
    lstStarts->clear();
    lstEnds->clear();
    bool first = true;
    for (const loopPoints::Record& mark : state_.loopPointBuffer) {
        lstStarts->addItem(mark->startTimeTTMMSS);
        if (!first)
            lstEnds->addItem(mark->startTimeTTMMSS);
        first = false;
    }
    lstEnds->addItem(QString::fromLatin1(endpointNotSet));
}

void makeLoopPoints::cmdCompletePreviousLoop_MouseDown()
{
    TraceScope trace(module, "Sub cmdCompletePreviousLoop_MouseDown");
    trace.run([&] {
        loopPoints& marks = state_.loopPointBuffer;
        const int before = marks.Count();
        loops_.cmdStartNewLoop_Click();
        // No mark when the device did not start: nothing to list.
        if (marks.Count() == before)
            return;
        const QString s = marks.Item(marks.Count())->startTimeTTMMSS;
        lstStarts->addItem(s);
        lstEnds->insertItem(lstEnds->count() - 1, s);
    });
}

void makeLoopPoints::btnKeep_Click()
{
    TraceScope trace(module, "Sub btnKeep_Click");
    trace.run([&] {
        loopPoints& marks = state_.loopPointBuffer;
        loops_.insertNewLoopPoint();
        if (marks.Count() < 2)
            return;
        const int first = marks.Item(1)->startTimeMs.toInt();
        hide();
        QCoreApplication::processEvents();
        Message(QStringLiteral("Saving loop points"), QStringLiteral("Make Loop Points"));
        // Latest loop first, as they were always written; all of them or none.
        std::vector<QSqlRecord> rows;
        int end = marks.Item(marks.Count())->startTimeMs.toInt();
        for (int i = marks.Count() - 1; i >= 1; --i) {
            const loopPoints::Record mark = marks.Item(i);
            rows.push_back(loops_.loopRecord(mark->startTimeMs, mark->startTimeTTMMSS, end));
            end = mark->startTimeMs.toInt();
        }
        try {
            loops_.rows().add(rows);
        } catch (...) {
            // The marks stay, listed again, for another try.
            Message(QStringLiteral("off"), QStringLiteral("Make Loop Points"));
            listMarks();
            show();
            throw;
        }
        marks.Clear();
        loops_.rows().requery();
        loops_.rows().findFirst(QStringLiteral("startTime"), end);
        Message(QStringLiteral("Starting loop playback"), QStringLiteral("Make Loop Points"));
        loops_.rows().findFirst(QStringLiteral("startTime"), first);
        loops_.btnLoopPlay_Click();
        Message(QStringLiteral("off"), QStringLiteral("Make Loop Points"));
        const QScopedValueRollback<bool> unloading(unloading_, true);
        close();
    });
}

void makeLoopPoints::closeEvent(QCloseEvent* event)
{
    // The close box drops the marks; the close after Keep has stored them.
    if (!unloading_)
        state_.loopPointBuffer.Clear();
    QDialog::closeEvent(event);
}

} // namespace lentaro
