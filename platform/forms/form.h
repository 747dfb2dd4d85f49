#pragma once

#include <QDialog>
#include <QString>

namespace lentaro::forms {

// A window of the program with the life of a form: constructing it loads it (it joins the
// loaded windows under its name), unload() or a close from its title bar or with Escape unloads
// it (formUnload runs, the window leaves the loaded windows at once and is deleted once control
// is back in the event loop). Shown with show() it is modeless, with exec() modal.
class Form : public QDialog
{
    Q_OBJECT

public:
    explicit Form(const QString& name);
    ~Form() override;

    void unload();
    bool unloading() const { return unloading_; }

protected:
    // What the window does on its way out (Form_Unload).
    virtual void formUnload() {}

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool unloading_ = false;
};

} // namespace lentaro::forms
