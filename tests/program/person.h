#pragma once

#include "tests/app/clicking.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace lentaro::test {

// The child control of that type with that caption; null when there is none.
template <class Control>
Control* captioned(QWidget& parent, const QString& caption)
{
    for (Control* control : parent.findChildren<Control*>()) {
        if (readCaption(control->text()) == caption)
            return control;
    }
    return nullptr;
}

// Keys go where the keyboard's focus is, in the window that is active.
void press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Saves a picture of the window as it is, laid out, as "<name>.png" in the folder
// LENTARO_SCREENSHOTS names; nothing when the variable is unset.
void saveScreenshot(QWidget& window, const QString& name);
// The same, and another of the window at 1280 x 720 ("<name>-1280x720.png").
void saveScreenshots(QWidget& window, const QString& name);

// A person at the program, taking one step after the other inside the program's event loop:
// each step's action once the one before has settled, then, once its own outcome has settled, its
// checks and pictures of the main window. A step acts inside a dialog it opens through a
// WhenModal of its own.
class Person
{
public:
    struct Step {
        QString name;
        std::function<void()> act;
        std::function<bool()> settled;
        std::function<void()> check;
    };

    // Pictures are numbered from firstNumber on, in the order of the steps.
    explicit Person(std::vector<Step> steps, int firstNumber = 1);
    // The name of the step the person waits on; empty when every step is done.
    QString waitingOn() const;

private:
    void lookAgain();

    std::vector<Step> steps_;
    int firstNumber_;
    std::size_t next_ = 0;
    bool acted_ = false;
    bool busy_ = false;
    QTimer timer_;
};

} // namespace lentaro::test
