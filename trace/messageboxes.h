#pragma once

#include <QString>

namespace lentaro {

// The few message boxes the trace runtime itself shows; tests put a scripted stand-in here.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    // Exclamation icon, OK and Cancel; true when OK was chosen.
    virtual bool confirm(const QString& title, const QString& text) = 0;

    // Critical icon and OK.
    virtual void critical(const QString& title, const QString& text) = 0;
};

// Qt message boxes while a QApplication runs; standard error otherwise (confirm answers Cancel).
class QtMessageBoxes : public MessageBoxes
{
public:
    bool confirm(const QString& title, const QString& text) override;
    void critical(const QString& title, const QString& text) override;
};

} // namespace lentaro
