#include "tests/app/window_fixture.h"

#include "platform/forms/formregistry.h"
#include "platform/forms/screencursor.h"

#include <QApplication>

namespace lentaro::test {

WhenModal::WhenModal(std::function<void(QWidget&)> action)
{
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this, action = std::move(action)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer_.stop();
            acted_ = true;
            action(*modal);
        }
    });
    timer_.start();
}

void WindowTest::SetUp()
{
    AppTest::SetUp();
    ASSERT_TRUE(forms::loadedForms().empty());
    cancelTargetsInPlace_.emplace(progressCancelTargets, cancelTargets_);
}

void WindowTest::TearDown()
{
    for (QWidget* form : forms::loadedForms())
        delete form;
    deleteUnloaded();
    forms::setScreenMousePointer(Qt::ArrowCursor);
    mainInPlace_.reset();
    cancelTargetsInPlace_.reset();
    AppTest::TearDown();
}

RecordingMainWindow& WindowTest::mainWindow()
{
    if (!mainInPlace_)
        mainInPlace_.emplace(mainWindowFace, main_);
    return main_;
}

void WindowTest::deleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace lentaro::test
