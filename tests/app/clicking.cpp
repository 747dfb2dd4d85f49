#include "tests/app/clicking.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
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

QAction* menuItem(QWidget& window, const QStringList& captions)
{
    auto* main = qobject_cast<QMainWindow*>(&window);
    QMenuBar* bar = main ? main->menuBar() : window.findChild<QMenuBar*>();
    if (!bar)
        return nullptr;
    QList<QAction*> choices = bar->actions();
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

void choose(QWidget& window, const QStringList& captions)
{
    QAction* item = menuItem(window, captions);
    ASSERT_NE(item, nullptr) << captions.join(QStringLiteral(" > ")).toStdString();
    item->trigger();
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

void rightClick(QWidget* control)
{
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(control->isVisible()) << control->objectName().toStdString();
    const QPoint where = control->rect().center();
    QTest::mousePress(control, Qt::RightButton, {}, where);
    QContextMenuEvent request(QContextMenuEvent::Mouse, where, control->mapToGlobal(where));
    QApplication::sendEvent(control, &request);
    QTest::mouseRelease(control, Qt::RightButton, {}, where);
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

void drag(QSlider& slider, int pixels)
{
    ASSERT_TRUE(slider.isVisible()) << slider.objectName().toStdString();
    // Where the style draws the handle, as QSlider itself finds it.
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.upsideDown = slider.orientation() == Qt::Horizontal ? slider.invertedAppearance()
                                                               : !slider.invertedAppearance();
    if (slider.orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    const QPoint from =
        slider.style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
            .center();
    const QPoint to =
        from + (slider.orientation() == Qt::Horizontal ? QPoint(pixels, 0) : QPoint(0, pixels));
    QTest::mousePress(&slider, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, slider.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&slider, &move);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, to);
}

} // namespace lentaro::test
