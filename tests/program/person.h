#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QAction;
class QMainWindow;
class QTabWidget;

namespace lentaro::test {

// A caption as a person reads it: without the access-key marks ("E&xit" reads "Exit").
QString readCaption(const QString& caption);

// The menu item a person reaches through these captions from the menu bar ("View", "CD View",
// "Normal"); null when there is none.
QAction* menuItem(QMainWindow& window, const QStringList& captions);

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

// The person clicks what they see: a button in its middle, a check box or option on its box.
void click(QWidget* control);
// The tab of that caption.
void clickTab(QTabWidget& tabs, const QString& caption);
// The menu item reached through these captions.
void choose(QMainWindow& window, const QStringList& captions);
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
