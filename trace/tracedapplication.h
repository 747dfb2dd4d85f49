#pragma once

#include <QApplication>

namespace lentaro {

// The program's application object. Whatever an event handler throws without a trap of its own
// goes to the central error handler here, so nothing thrown escapes the Qt event loop.
class TracedApplication : public QApplication
{
public:
    TracedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace lentaro
