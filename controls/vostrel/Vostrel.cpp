#include "controls/vostrel/Vostrel.h"

#include "controls/vostrel/VostrelAbout.h"
#include "platform/cd/DiscChangeSource.h"

#include <QPainter>

namespace lentaro {

namespace {

const QString enabledProperty = QStringLiteral("Enabled");

} // namespace

Vostrel::Vostrel(QWidget* parent) : QWidget(parent)
{
    // Fixed: no form or layout gives it another size.
    setFixedSize(sidePixels, sidePixels);
    setListening(true);
}

Vostrel::~Vostrel() = default;

void Vostrel::setListening(bool v)
{
    enabled_ = v;
    if (v && !subscription_)
        subscription_ = cd::discChanges().subscribe(
            [this](const cd::DiscChange& change) { discChanged(change); });
    else if (!v)
        subscription_.reset();
    emit propertyChanged(enabledProperty);
}

void Vostrel::discChanged(const cd::DiscChange& change)
{
    // The source reports one drive per change, 'D' to 'Z'; anything else names no drive.
    if (change.letter < 'A' || change.letter > 'Z')
        return;
    const QString drive(QChar::fromLatin1(change.letter));
    if (change.arrived)
        DoArrival(drive);
    else
        DoRemove(drive);
}

void Vostrel::ShowAbout()
{
    VostrelAbout about(this);
    about.exec();
}

void Vostrel::readProperties(const QVariantMap& properties)
{
    setListening(properties.value(enabledProperty, true).toBool());
}

void Vostrel::writeProperties(QVariantMap& properties) const
{
    if (enabled_)
        properties.remove(enabledProperty);
    else
        properties.insert(enabledProperty, false);
}

void Vostrel::paintEvent(QPaintEvent*)
{
    // A bump edge: a raised line outside a sunken one, on all four sides.
    QPainter painter(this);
    const QPalette& colours = palette();
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    const auto frame = [&](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    frame(outer, colours.color(QPalette::Light), colours.color(QPalette::Dark));
    frame(inner, colours.color(QPalette::Dark), colours.color(QPalette::Light));
}

} // namespace lentaro
