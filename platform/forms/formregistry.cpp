#include "platform/forms/formregistry.h"

#include <QPointer>

#include <algorithm>

namespace lentaro::forms {

namespace {

std::vector<QPointer<QWidget>>& forms()
{
    static std::vector<QPointer<QWidget>> loaded;
    // A window destroyed without being removed is no longer loaded.
    loaded.erase(std::remove(loaded.begin(), loaded.end(), nullptr), loaded.end());
    return loaded;
}

} // namespace

void addLoadedForm(QWidget* form)
{
    if (form)
        forms().push_back(form);
}

void removeLoadedForm(QWidget* form)
{
    auto& loaded = forms();
    loaded.erase(std::remove(loaded.begin(), loaded.end(), form), loaded.end());
}

QWidget* loadedForm(const QString& name)
{
    for (const QPointer<QWidget>& form : forms()) {
        if (form->objectName() == name)
            return form;
    }
    return nullptr;
}

std::vector<QWidget*> loadedForms()
{
    const auto& loaded = forms();
    return std::vector<QWidget*>(loaded.begin(), loaded.end());
}

} // namespace lentaro::forms
