#include "tests/program/person.h"

#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace lentaro::test {

QString readCaption(const QString& caption)
{
    QString read;
    for (int at = 0; at < caption.size(); ++at) {
        if (caption[at] == QLatin1Char('&') && at + 1 < caption.size())
            ++at; // "&&" reads as one "&"
        read += caption[at];
    }
    return read;
}

QAction* menuItem(QMainWindow& window, const QStringList& captions)
{
    QList<QAction*> choices = window.menuBar()->actions();
    QAction* found = nullptr;
    for (const QString& caption : captions) {
        found = nullptr;
        for (QAction* choice : choices) {
            if (choice->isVisible() && readCaption(choice->text()) == caption) {
                found = choice;
                break;
            }
        }
        if (!found)
            return nullptr;
        choices = found->menu() ? found->menu()->actions() : QList<QAction*>();
    }
    return found;
}

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

void click(QWidget* control)
{
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(control->isVisible()) << control->objectName().toStdString();
    const int middle = control->height() / 2;
    const QPoint where = qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)
                             ? QPoint(middle, middle)
                             : control->rect().center();
    QTest::mouseClick(control, Qt::LeftButton, {}, where);
}

void clickTab(QTabWidget& tabs, const QString& caption)
{
    QTabBar* bar = tabs.tabBar();
    for (int tab = 0; tab < bar->count(); ++tab) {
        if (readCaption(bar->tabText(tab)) == caption) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
            return;
        }
    }
    ADD_FAILURE() << "no tab " << caption.toStdString();
}

void choose(QMainWindow& window, const QStringList& captions)
{
    QAction* item = menuItem(window, captions);
    ASSERT_NE(item, nullptr) << captions.join(QStringLiteral(" > ")).toStdString();
    item->trigger();
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
