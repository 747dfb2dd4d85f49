#pragma once

#include <QWidget>

#include <array>

class QToolButton;

namespace lentaro::mci {

// The buttons of the bar, in their order from the left.
enum class Button { Prev, Next, Play, Pause, Back, Step, Stop, Record, Eject };

constexpr std::size_t buttonCount = 9;
constexpr std::array<Button, buttonCount> allButtons{Button::Prev,  Button::Next,   Button::Play,
                                                     Button::Pause, Button::Back,   Button::Step,
                                                     Button::Stop,  Button::Record, Button::Eject};

// A row of transport buttons. It only shows them and says which was clicked; what a click does,
// and when a button may be clicked, is its owner's business.
class TransportBar : public QWidget
{
    Q_OBJECT

public:
    explicit TransportBar(QWidget* parent = nullptr);

    QToolButton* button(Button which) const { return buttons_[static_cast<std::size_t>(which)]; }

    void setButtonEnabled(Button which, bool enabled);
    void setButtonVisible(Button which, bool visible);

signals:
    void clicked(lentaro::mci::Button which);

private:
    std::array<QToolButton*, buttonCount> buttons_{};
};

} // namespace lentaro::mci
