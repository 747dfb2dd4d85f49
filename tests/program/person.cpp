#include "tests/program/person.h"

#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

namespace lentaro::test {

void saveScreenshot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("LENTARO_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    // Layouts settle in posted events: a label given a longer text is widened there.
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))));
}

void saveScreenshots(QWidget& window, const QString& name)
{
    if (qEnvironmentVariableIsEmpty("LENTARO_SCREENSHOTS"))
        return;
    saveScreenshot(window, name);
    const QSize size = window.size();
    window.resize(1280, 720);
    saveScreenshot(window, name + QStringLiteral("-1280x720"));
    window.resize(size);
    QCoreApplication::processEvents();
}

void press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &window, key, modifiers);
}

Person::Person(std::vector<Step> steps, int firstNumber)
    : steps_(std::move(steps)), firstNumber_(firstNumber)
{
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { lookAgain(); });
    timer_.start();
}

QString Person::waitingOn() const
{
    return next_ < steps_.size() ? steps_[next_].name : QString();
}

void Person::lookAgain()
{
    // A step's action may wait in a dialog, where the timer goes on firing.
    if (busy_ || next_ >= steps_.size())
        return;
    busy_ = true;
    Step& step = steps_[next_];
    if (!acted_) {
        acted_ = true;
        if (step.act)
            step.act();
    }
    if (!step.settled || step.settled()) {
        if (step.check)
            step.check();
        QWidget* main = forms::loadedFormOf<frmMain>();
        if (main && !main->isHidden() && !programState().gvExiting) {
            const int number = firstNumber_ + static_cast<int>(next_);
            saveScreenshots(
                *main, QStringLiteral("%1-%2").arg(number, 2, 10, QLatin1Char('0')).arg(step.name));
        }
        ++next_;
        acted_ = false;
    }
    busy_ = false;
}

} // namespace lentaro::test
