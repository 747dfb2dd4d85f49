#pragma once

#include <QString>
#include <QStringList>

class QAction;
class QSlider;
class QTabWidget;
class QWidget;

namespace lentaro::test {

// A caption as a person reads it: without the access-key marks ("E&xit" reads "Exit").
QString readCaption(const QString& caption);

// The menu item a person reaches through these captions from the window's menu bar ("View",
// "CD View", "Normal"); null when there is none.
QAction* menuItem(QWidget& window, const QStringList& captions);
// That menu item chosen.
void choose(QWidget& window, const QStringList& captions);

// The person clicks what they see: a button in its middle, a check box or option on its box.
void click(QWidget* control);
// A right click in its middle, with the request for a context menu the desktop makes of it.
void rightClick(QWidget* control);
// The tab of that caption (access-key marks left out).
void clickTab(QTabWidget& tabs, const QString& caption);
// The slider's handle grabbed, moved that many pixels along it and let go.
void drag(QSlider& slider, int pixels);

} // namespace lentaro::test
