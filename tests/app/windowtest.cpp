#include "windowtest.h"

#include "app/globals.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/screencursor.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

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
    previousTargets_ = setProgressCancelTargets(&cancelTargets_);
    gvSlowMode = false;
}

void WindowTest::TearDown()
{
    for (QWidget* form : forms::loadedForms()) {
        if (form != main_.get())
            delete form;
    }
    main_.reset();
    deleteUnloaded();
    forms::setScreenMousePointer(Qt::ArrowCursor);
    gvSlowMode = false;
    setProgressCancelTargets(previousTargets_);
    AppTest::TearDown();
}

QWidget& WindowTest::mainWindow()
{
    if (!main_) {
        main_ = std::make_unique<QWidget>();
        main_->setObjectName("frmMain");
        for (const char* name : {"lblTracks", "lblTrackComments"})
            (new QLabel(main_.get()))->setObjectName(name);
        (new QLineEdit(main_.get()))->setObjectName("Comments");
        (new QTableView(main_.get()))->setObjectName("tgTracks");
        forms::addLoadedForm(main_.get());
        main_->show();
    }
    return *main_;
}

void WindowTest::deleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace lentaro::test
