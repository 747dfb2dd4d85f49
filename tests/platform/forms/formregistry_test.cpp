#include "platform/forms/form.h"
#include "platform/forms/formregistry.h"

#include "tests/support/qt_printers.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

#include <gtest/gtest.h>

#include <memory>

namespace lentaro::forms {
namespace {

// A program-wide window that counts its unloads.
class frmSample : public Form
{
public:
    static constexpr const char* formName = "frmSample";

    frmSample() : Form(QString::fromLatin1(formName)) {}

    int unloads = 0;

protected:
    void formUnload() override { ++unloads; }
};

void deleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class FormRegistryTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (QWidget* form : loadedForms())
            delete form;
        deleteUnloaded();
    }
};

TEST_F(FormRegistryTest, AWindowIsCreatedOnFirstUseAndFoundByItsExactName)
{
    EXPECT_EQ(loadedForm("frmSample"), nullptr);

    frmSample& first = loadForm<frmSample>();
    frmSample& again = loadForm<frmSample>();

    EXPECT_EQ(&first, &again);
    EXPECT_EQ(loadedForm("frmSample"), &first);
    EXPECT_EQ(loadedForm("frmsample"), nullptr);
    EXPECT_EQ(loadedForms().size(), 1u);
}

TEST_F(FormRegistryTest, UnloadRunsTheUnloadHandlerOnceAndEndsTheLoadAtOnce)
{
    frmSample& form = loadForm<frmSample>();
    form.show();
    QPointer<frmSample> guard(&form);

    form.unload();
    form.unload();

    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(loadedForm("frmSample"), nullptr);
    // The next use loads a fresh window while the old one waits for deletion.
    EXPECT_NE(&loadForm<frmSample>(), guard.data());
    deleteUnloaded();
    EXPECT_TRUE(guard.isNull());
}

TEST_F(FormRegistryTest, ClosingFromTheTitleBarOrWithEscapeUnloads)
{
    struct Case {
        const char* how;
        void (*close)(QWidget&);
    };
    const Case cases[] = {
        {"title bar", [](QWidget& w) { w.close(); }},
        {"Escape",
         [](QWidget& w) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&w, &escape);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        frmSample& form = loadForm<frmSample>();
        form.show();
        int unloads = 0;
        QObject::connect(&form, &QObject::destroyed, [&] { ++unloads; });

        c.close(form);

        EXPECT_EQ(loadedForm("frmSample"), nullptr);
        deleteUnloaded();
        EXPECT_EQ(unloads, 1);
    }
}

TEST_F(FormRegistryTest, OtherWidgetsJoinByNameAndLeaveWhenDestroyed)
{
    auto main = std::make_unique<QWidget>();
    main->setObjectName("frmMain");
    addLoadedForm(main.get());
    frmSample& sample = loadForm<frmSample>();

    const std::vector<QWidget*> inOrder{main.get(), &sample};
    EXPECT_EQ(loadedForms(), inOrder);

    main.reset();
    EXPECT_EQ(loadedForm("frmMain"), nullptr);
    EXPECT_EQ(loadedForms(), std::vector<QWidget*>{&sample});
}

} // namespace
} // namespace lentaro::forms
