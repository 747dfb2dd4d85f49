#include "platform/mci/TransportBar.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>

namespace lentaro::mci {

namespace {

struct Face {
    const char* name;
    QStyle::StandardPixmap icon; // SP_CustomBase: drawn below
    const char* text;
};

constexpr std::array<Face, buttonCount> faces{{
    {"Prev", QStyle::SP_MediaSkipBackward, "Previous"},
    {"Next", QStyle::SP_MediaSkipForward, "Next"},
    {"Play", QStyle::SP_MediaPlay, "Play"},
    {"Pause", QStyle::SP_MediaPause, "Pause"},
    {"Back", QStyle::SP_MediaSeekBackward, "Back"},
    {"Step", QStyle::SP_MediaSeekForward, "Step"},
    {"Stop", QStyle::SP_MediaStop, "Stop"},
    {"Record", QStyle::SP_CustomBase, "Record"},
    {"Eject", QStyle::SP_CustomBase, "Eject"},
}};

// The style has no record or eject symbol: a red dot, and a triangle over a bar.
QIcon drawnIcon(Button which)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (which == Button::Record) {
        painter.setBrush(QColor(200, 0, 0));
        painter.drawEllipse(QRectF(3, 3, 10, 10));
    } else {
        painter.setBrush(QColor(40, 40, 40));
        const QPointF triangle[] = {{8, 2}, {14, 9}, {2, 9}};
        painter.drawPolygon(triangle, 3);
        painter.drawRect(QRectF(2, 11, 12, 3));
    }
    return QIcon(pixmap);
}

} // namespace

TransportBar::TransportBar(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (Button which : allButtons) {
        const Face& face = faces[static_cast<std::size_t>(which)];
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(face.name));
        button->setToolTip(QLatin1String(face.text));
        button->setIcon(face.icon == QStyle::SP_CustomBase ? drawnIcon(which)
                                                           : style()->standardIcon(face.icon));
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QToolButton::clicked, this, [this, which] { emit clicked(which); });
        layout->addWidget(button);
        buttons_[static_cast<std::size_t>(which)] = button;
    }
}

void TransportBar::setButtonEnabled(Button which, bool enabled)
{
    button(which)->setEnabled(enabled);
}

void TransportBar::setButtonVisible(Button which, bool visible)
{
    button(which)->setVisible(visible);
}

} // namespace lentaro::mci
