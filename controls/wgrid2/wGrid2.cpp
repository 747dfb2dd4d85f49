#include "controls/wgrid2/wGrid2.h"

#include "platform/forms/screenunits.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lentaro {

namespace {

constexpr int measureLineWidth = 30;
constexpr int lineWidth = 15;
constexpr int dragHandleSide = 135;
constexpr double insetPerLevel = 0.07;

constexpr std::int64_t longMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t longMax = std::numeric_limits<std::int32_t>::max();

// The nearest whole number, halves to even (the default rounding mode).
std::int64_t rounded(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value));
}

template <typename Value>
void readInto(const QVariantMap& properties, const char* name, Value fallback,
              const std::function<void(Value)>& set)
{
    const QVariant stored = properties.value(QLatin1String(name));
    if (!stored.isValid()) {
        set(fallback);
        return;
    }
    if (!stored.canConvert<Value>())
        return;
    try {
        set(stored.value<Value>());
    } catch (const std::exception&) {
        // A stored value the property refuses leaves it as it is.
    }
}

template <typename Value>
void writeUnlessDefault(QVariantMap& properties, const char* name, Value value, Value fallback)
{
    if (value != fallback)
        properties.insert(QLatin1String(name), QVariant::fromValue(value));
}

} // namespace

wGrid2::wGrid2(QWidget* parent) : QWidget(parent)
{
    // Not opaque: the control beneath shows around the lines, within the margin that grabs them,
    // and where lines were before they moved.
    // The 0 -> 360 rule of a move runs whether or not a button is down.
    setMouseTracking(true);
    dragHandle_.width = dragHandleSide;
    dragHandle_.height = dragHandleSide;
    dragHandle_.visible = true;
    for (Line& line : mjrLine_)
        line.visible = true;
    initProperties();
}

void wGrid2::initProperties()
{
    setFirstLine(0);
    setHalvesVisible(true);
    setThirdsVisible(false);
    setBeatsPerMeasure(4);
    setBeatColor(defaultBeatColor);
    setHalfColor(defaultHalfColor);
    setThirdColor(defaultThirdColor);
    setBeatWidth(defaultBeatWidth);
}

void wGrid2::setFirstLine(std::int32_t twips)
{
    firstLine_ = twips;
    firstLineExact_ = twips;
    layOut();
    emit firstLineChanged();
}

namespace {

int integerWidthOf(double twips)
{
    const std::int64_t width =
        std::isfinite(twips) && std::abs(twips) < 1e9 ? rounded(twips) : longMax;
    if (width < -32768 || width > 32767)
        throw std::overflow_error("BeatWidth outside the Integer range");
    return int(width);
}

} // namespace

void wGrid2::setBeatWidth(double twips)
{
    beatWidth_ = integerWidthOf(twips);
    beatWidthExact_ = beatWidth_;
    layOut();
    emit beatWidthChanged();
}

void wGrid2::place(double firstLine, double beatWidth)
{
    const int width = integerWidthOf(beatWidth);
    const double first = std::nearbyint(firstLine);
    if (!(first >= double(longMin) && first <= double(longMax)))
        throw std::overflow_error("FirstLine outside the Long range");
    firstLine_ = std::int32_t(first);
    firstLineExact_ = firstLine;
    beatWidth_ = width;
    beatWidthExact_ = beatWidth;
    layOut();
    emit firstLineChanged();
    emit beatWidthChanged();
}

void wGrid2::setBeatsPerMeasure(int beats)
{
    beatsPerMeasure_ = beats;
    if (beats == 0)
        return;
    for (int i = 0; i < beatLines; ++i)
        mjrLine_[std::size_t(i)].width = i % beats == 0 ? measureLineWidth : lineWidth;
    restyled();
}

void wGrid2::setHalvesVisible(bool visible)
{
    halvesVisible_ = visible;
    for (Line& line : andLine_)
        line.visible = visible;
    restyled();
}

void wGrid2::setThirdsVisible(bool visible)
{
    thirdsVisible_ = visible;
    for (Line& line : thirdLine_)
        line.visible = visible;
    restyled();
}

void wGrid2::setBeatColor(std::uint32_t color)
{
    beatColor_ = color;
    restyled();
}

void wGrid2::setHalfColor(std::uint32_t color)
{
    halfColor_ = color;
    restyled();
}

void wGrid2::setThirdColor(std::uint32_t color)
{
    thirdColor_ = color;
    restyled();
}

std::int32_t wGrid2::BeatPosition(int beatNum) const
{
    if (beatNum < 1 || beatNum > beatLines)
        return -1;
    return std::int32_t(rounded(mjrLine_[std::size_t(beatNum - 1)].left));
}

void wGrid2::layOut()
{
    const double tppx = forms::twipsPerPixel(*this);
    const double right = double(rounded(width() * tppx));
    const std::int64_t height = rounded(this->height() * tppx);
    for (int i = 0; i < beatLines; ++i) {
        Line& beat = mjrLine_[std::size_t(i)];
        Line& half = andLine_[std::size_t(i)];
        beat.left = float(firstLineExact_ + i * beatWidthExact_);
        beat.visible = beat.left < right;
        half.left = float(double(beat.left) + beatWidthExact_ / 2.0);
        half.visible = half.left < right && halvesVisible_;
        if (beat.visible) {
            insetLine(beat, height, 0);
            insetLine(half, height, 1);
        }
    }
    for (int i = 0; i < beatLines; ++i) {
        Line& first = thirdLine_[std::size_t(2 * i)];
        Line& second = thirdLine_[std::size_t(2 * i + 1)];
        first.left = float(double(mjrLine_[std::size_t(i)].left) + beatWidthExact_ / 3.0);
        first.visible = first.left < right && thirdsVisible_;
        second.left = float(double(first.left) + beatWidthExact_ / 3.0);
        second.visible = second.left < right && thirdsVisible_;
        insetLine(first, height, 2);
        insetLine(second, height, 2);
    }
    dragHandle_.left = mjrLine_[0].left;
    restyled();
}

void wGrid2::insetLine(Line& line, std::int64_t height, int level)
{
    const std::int64_t margin = rounded(double(height) * (level * insetPerLevel));
    line.height = int(height - 2 * margin);
    line.top = int(margin);
}

void wGrid2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void wGrid2::restyled()
{
    // Only where lines were or are now is drawn again, not the whole surface the grid lies over.
    const QRegion before = mask();
    const QRegion after = drawnRegion();
    setMask(after);
    update(after);
    // Where lines were and are no more lies outside the new mask, which clips the control's own
    // updates: the container and the controls beneath (which an update of the container leaves
    // alone when they paint all they cover) show themselves there again.
    QWidget* container = parentWidget();
    if (!container)
        return;
    const QRegion uncovered = before.subtracted(after).translated(pos());
    container->update(uncovered);
    for (QObject* child : container->children()) {
        auto* beneath = qobject_cast<QWidget*>(child);
        if (beneath && beneath != this && !beneath->isWindow())
            beneath->update(uncovered.translated(-beneath->pos()));
    }
}

QRect wGrid2::pixelsOf(const Line& line, double tppx)
{
    // The column nearest the line's place; far-off lines stay far off without leaving int's
    // range.
    const int x = int(std::clamp(std::floor(double(line.left) / tppx + 0.5), -1e9, 1e9));
    const int w = std::max(1, int(std::lround(line.width / tppx)));
    const int y = int(std::lround(line.top / tppx));
    const int h = std::max(1, int(std::lround(line.height / tppx)));
    return QRect(x, y, w, h);
}

QRegion wGrid2::drawnRegion() const
{
    const double tppx = forms::twipsPerPixel(*this);
    const QRect surface = rect();
    // Never empty: an empty mask would give the control its whole surface back.
    std::vector<QRect> rects{pixelsOf(dragHandle_, tppx)};
    const auto add = [&](const auto& lines) {
        for (const Line& line : lines) {
            const QRect shown = pixelsOf(line, tppx).adjusted(-grabMargin, 0, grabMargin, 0);
            if (line.visible && shown.intersects(surface))
                rects.push_back(shown);
        }
    };
    add(mjrLine_);
    add(andLine_);
    add(thirdLine_);
    QRegion region;
    for (const QRect& shown : rects)
        region += shown;
    return region;
}

void wGrid2::paintEvent(QPaintEvent* event)
{
    const double tppx = forms::twipsPerPixel(*this);
    QPainter painter(this);
    const auto fill = [&](const auto& lines, std::uint32_t color) {
        const QColor qcolor = forms::colorOf(color);
        for (const Line& line : lines) {
            const QRect shown = pixelsOf(line, tppx);
            if (line.visible && shown.intersects(event->rect()))
                painter.fillRect(shown, qcolor);
        }
    };
    fill(thirdLine_, thirdColor_);
    fill(andLine_, halfColor_);
    fill(mjrLine_, beatColor_);
    painter.fillRect(pixelsOf(dragHandle_, tppx), forms::colorOf(beatColor_));
}

std::int32_t wGrid2::twipsOfMouse(const QMouseEvent& event) const
{
    const std::int64_t x = rounded(event.position().x() * forms::twipsPerPixel(*this));
    return std::int32_t(std::clamp(x, longMin, longMax));
}

void wGrid2::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftButtonDown_ = true;
    else if (event->button() == Qt::RightButton)
        rightButtonDown_ = true;
    lastX_ = twipsOfMouse(*event);
    if (!pressed_) {
        pressed_ = event->button();
        pressedModifiers_ = event->modifiers();
        pressedX_ = int(std::lround(event->position().x()));
        dragged_ = false;
    }
}

void wGrid2::mouseMoveEvent(QMouseEvent* event)
{
    if (beatWidth_ == 0)
        setBeatWidth(defaultBeatWidth);
    const std::int32_t x = twipsOfMouse(*event);
    const std::int64_t dx = std::int64_t(x) - lastX_;
    lastX_ = x;
    if ((leftButtonDown_ || rightButtonDown_) && dx != 0)
        dragged_ = true;
    if (leftButtonDown_) {
        const std::int64_t moved = firstLine_ + dx;
        if (moved >= longMin && moved <= longMax)
            setFirstLine(std::int32_t(moved));
    } else if (rightButtonDown_) {
        try {
            setBeatWidth(beatWidth_ + double(dx) / 3.0);
        } catch (const std::overflow_error&) {
            // The drag step is skipped.
        }
    }
}

void wGrid2::mouseReleaseEvent(QMouseEvent*)
{
    leftButtonDown_ = false;
    rightButtonDown_ = false;
    const std::optional<Qt::MouseButton> pressed = std::exchange(pressed_, std::nullopt);
    if (pressed && !dragged_)
        emit clickedThrough(*pressed, pressedModifiers_, pressedX_);
}

void wGrid2::writeProperties(QVariantMap& properties) const
{
    writeUnlessDefault(properties, "FirstLine", firstLine_, 0);
    writeUnlessDefault(properties, "HalvesVisible", halvesVisible_, true);
    writeUnlessDefault(properties, "ThirdsVisible", thirdsVisible_, false);
    writeUnlessDefault(properties, "BeatsPerMeasure", beatsPerMeasure_, 4);
    writeUnlessDefault(properties, "BeatColor", beatColor_, defaultBeatColor);
    writeUnlessDefault(properties, "HalfColor", halfColor_, defaultHalfColor);
    writeUnlessDefault(properties, "ThirdColor", thirdColor_, defaultThirdColor);
    writeUnlessDefault(properties, "BeatWidth", beatWidth_, int(defaultBeatWidth));
}

void wGrid2::readProperties(const QVariantMap& properties)
{
    readInto<std::int32_t>(properties, "FirstLine", 0, [&](std::int32_t v) { setFirstLine(v); });
    readInto<bool>(properties, "HalvesVisible", true, [&](bool v) { setHalvesVisible(v); });
    readInto<bool>(properties, "ThirdsVisible", false, [&](bool v) { setThirdsVisible(v); });
    readInto<int>(properties, "BeatsPerMeasure", 4, [&](int v) { setBeatsPerMeasure(v); });
    readInto<std::uint32_t>(properties, "BeatColor", defaultBeatColor,
                            [&](std::uint32_t v) { setBeatColor(v); });
    readInto<std::uint32_t>(properties, "HalfColor", defaultHalfColor,
                            [&](std::uint32_t v) { setHalfColor(v); });
    readInto<std::uint32_t>(properties, "ThirdColor", defaultThirdColor,
                            [&](std::uint32_t v) { setThirdColor(v); });
    readInto<double>(properties, "BeatWidth", defaultBeatWidth, [&](double v) { setBeatWidth(v); });
}

} // namespace lentaro
