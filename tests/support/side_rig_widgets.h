#pragma once

#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"

#include <QHeaderView>
#include <QLayout>
#include <QString>
#include <QTableView>
#include <QWidget>

namespace lentaro::test {

// What the rigs of a side's controls share with the main window they stand in for: widgets
// under the main window's names on a window of their own, and the procedures on the current
// device that the main window answers the same way for every side.

template <class Widget>
Widget* placed(QWidget& window, const QString& name, Widget* widget)
{
    widget->setObjectName(name);
    window.layout()->addWidget(widget);
    return widget;
}

template <class Widget>
Widget* placed(QWidget& window, const char* name, Widget* widget)
{
    return placed(window, QString::fromLatin1(name), widget);
}

// An MMControl of that device type, as the main window makes one.
inline mci::MMControl* placedDevice(QWidget& window, const char* name, const char* type)
{
    auto* control = placed(window, name, new mci::MMControl(&window));
    control->setDeviceType(QString::fromLatin1(type));
    return control;
}

// A grid as the main window makes it: whole rows chosen, no row numbers.
inline QTableView* placedGrid(QWidget& window, const char* name)
{
    auto* grid = placed(window, name, new QTableView(&window));
    grid->verticalHeader()->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    return grid;
}

// Whether a view name is that view: the main window compares them without case.
inline bool isMode(const QString& theMode, const char* mode)
{
    return theMode.compare(QLatin1String(mode), Qt::CaseInsensitive) == 0;
}

// The main window's playing(): whether the current view's device plays.
inline bool currentDevicePlays(const MainState& state)
{
    return state.currentMMControl()
           && state.currentMMControl()->mode() == static_cast<int>(mci::Mode::Playing);
}

// The main window's ms() and tmsf(): the current device's time format.
inline void currentDeviceInMs(MainState& state)
{
    state.currentMMControl()->setTimeFormat(static_cast<int>(mci::TimeFormat::Milliseconds));
}

inline void currentDeviceInTmsf(MainState& state)
{
    state.currentMMControl()->setWait(true);
    state.currentMMControl()->setTimeFormat(static_cast<int>(mci::TimeFormat::Tmsf));
}

} // namespace lentaro::test
