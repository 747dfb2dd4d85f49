#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace lentaro::test {

// The control of `window` named `name`, found as a person finds it: by what it is called, not
// through the window's members. A window without it fails the test (the exception names it).
// Cast by the language, not the meta-object, so that a control class without its own meta-object
// (TaggedTimer) is found as what it is.
template <typename Control>
Control* control(const QObject& window, const QString& name)
{
    for (QObject* child : window.findChildren<QObject*>(name)) {
        if (auto* found = dynamic_cast<Control*>(child))
            return found;
    }
    throw std::runtime_error(window.objectName().toStdString() + " has no "
                             + Control::staticMetaObject.className() + " named \""
                             + name.toStdString() + '"');
}

} // namespace lentaro::test
