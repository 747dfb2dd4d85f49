#pragma once

#include <QString>
#include <QWidget>

#include <vector>

namespace lentaro::forms {

// The program's loaded windows, in the order they were loaded. A window counts as loaded from
// its registration until it is removed or destroyed; its object name is its form name
// ("frmMain", "messages2"). Callers reach a window through loadForm<F>() or an interface of
// their own rather than by its name.

void addLoadedForm(QWidget* form);
void removeLoadedForm(QWidget* form);

// The first loaded window whose name equals `name` exactly (case counts); nullptr when none.
QWidget* loadedForm(const QString& name);

// Every loaded window, oldest first.
std::vector<QWidget*> loadedForms();

// The loaded window of class F (named F::formName), or nullptr: for callers that must not load it.
template <typename F>
F* loadedFormOf()
{
    return dynamic_cast<F*>(loadedForm(QString::fromLatin1(F::formName)));
}

// The one loaded window of class F (named F::formName), created when there is none: the way a
// single program-wide window is reached, loading it on first use.
template <typename F>
F& loadForm()
{
    if (F* form = loadedFormOf<F>())
        return *form;
    return *new F;
}

} // namespace lentaro::forms
