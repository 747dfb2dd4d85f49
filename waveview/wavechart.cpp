#include "waveview/wavechart.h"

#include "waveview/largepages.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace lentaro {

namespace {

// Below this many points a column the line joins the points themselves.
constexpr double pointsPerColumnForColumns = 2.0;

QRgb invertedPixel(QRgb pixel)
{
    return pixel ^ 0x00FFFFFFu;
}

} // namespace

WaveChart::WaveChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void WaveChart::setSeries(WaveSeries series)
{
    series_ = std::move(series);
    xMin_ = 0;
    xMax_ = 1;
    setXRange(double(series_.step()) - 1, double(series_.step()) * double(series_.count()) - 1);
    waveformChanged();
}

void WaveChart::setXRange(double min, double max)
{
    if (!(min < max))
        return;
    xMin_ = min;
    xMax_ = max;
    waveformChanged();
}

QRect WaveChart::chartRect() const
{
    return QRect(QPoint(insetLeft, insetTop),
                 QPoint(width() - 1 - insetRight, height() - 1 - insetBottom));
}

void WaveChart::setBackColor(std::uint32_t color)
{
    backColor_ = color;
    waveformChanged();
}

void WaveChart::setLineColor(std::uint32_t color)
{
    lineColor_ = color;
    waveformChanged();
}

void WaveChart::setHoldRedraw(bool hold)
{
    holdRedraw_ = hold;
    if (!hold && heldChanges_) {
        heldChanges_ = false;
        update();
    }
}

void WaveChart::refresh()
{
    repaint(rect());
}

void WaveChart::repaint(const QRect& area)
{
    if (holdRedraw_)
        heldChanges_ = true;
    else
        update(area);
}

void WaveChart::waveformChanged()
{
    stale_ = true;
    repaint(rect());
}

double WaveChart::xToPixel(double x) const
{
    const QRect plot = chartRect();
    return plot.left() + (x - xMin_) * (plot.right() - plot.left()) / (xMax_ - xMin_);
}

double WaveChart::pixelToX(double pixel) const
{
    const QRect plot = chartRect();
    const int span = std::max(1, plot.right() - plot.left());
    return xMin_ + (pixel - plot.left()) * (xMax_ - xMin_) / span;
}

int WaveChart::pointToPixel(std::int64_t point) const
{
    if (point < 1 || point > series_.count())
        return -1;
    return static_cast<int>(std::lround(xToPixel(series_.x(point))));
}

std::int64_t WaveChart::pixelToPoint(int pixel) const
{
    if (series_.count() == 0)
        return 0;
    const double point = std::nearbyint(pixelToX(pixel) / series_.step());
    return static_cast<std::int64_t>(std::clamp(point, 1.0, double(series_.count())));
}

int WaveChart::rowOf(int value, const QRect& plot) const
{
    return plot.top()
           + static_cast<int>(std::lround((32767.0 - value) * (plot.height() - 1) / 65535.0));
}

void WaveChart::renderIfStale()
{
    if (!stale_ && frame_.size() == size())
        return;
    stale_ = false;
    ++renders_;
    if (frame_.size() != size())
        frame_ = largePageImage(size());
    // The background colour is the plot's; the margin around it is the window's.
    frame_.fill(palette().color(QPalette::Window));
    const QRect plot = chartRect();
    QPainter(&frame_).fillRect(plot, forms::colorOf(backColor_));
    if (series_.count() > 0 && plot.width() > 1 && plot.height() > 1) {
        const double pointsPerColumn = (xMax_ - xMin_) / series_.step() / plot.width();
        if (pointsPerColumn >= pointsPerColumnForColumns)
            renderColumns(frame_, plot);
        else
            renderPolyline(frame_, plot);
    }
    inverted_ = invertedColumns(overlay_);
    invertDifference(std::vector<char>(inverted_.size(), 0), inverted_);
}

void WaveChart::renderColumns(QImage& image, const QRect& plot) const
{
    const QRgb line = forms::colorOf(lineColor_).rgb();
    const double step = series_.step();
    // Straight into the pixels: scanLine() would check the image for sharing at every pixel.
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int column = plot.left(); column <= plot.right(); ++column) {
        // The points that round to this column: X in [column - 0.5, column + 0.5).
        std::int64_t first = static_cast<std::int64_t>(std::ceil(pixelToX(column - 0.5) / step));
        std::int64_t last = static_cast<std::int64_t>(std::ceil(pixelToX(column + 0.5) / step)) - 1;
        first = std::max<std::int64_t>(first, 1);
        last = std::min(last, series_.count());
        if (first > last)
            continue;
        auto [low, high] = series_.extent(first, last);
        // The line from the point before reaches into this column.
        if (first > 1) {
            low = std::min(low, series_.point(first - 1));
            high = std::max(high, series_.point(first - 1));
        }
        const int top = rowOf(high, plot);
        const int bottom = rowOf(low, plot);
        QRgb* pixel = reinterpret_cast<QRgb*>(bits + top * stride) + column;
        for (int row = top; row <= bottom; ++row) {
            *pixel = line;
            pixel = reinterpret_cast<QRgb*>(reinterpret_cast<uchar*>(pixel) + stride);
        }
    }
}

void WaveChart::renderPolyline(QImage& image, const QRect& plot) const
{
    const double step = series_.step();
    const std::int64_t first = std::max<std::int64_t>(
        1, static_cast<std::int64_t>(std::floor(pixelToX(plot.left()) / step)) - 1);
    const std::int64_t last = std::min<std::int64_t>(
        series_.count(), static_cast<std::int64_t>(std::ceil(pixelToX(plot.right()) / step)) + 1);
    if (first > last)
        return;
    QPolygonF points;
    points.reserve(static_cast<int>(last - first + 1));
    for (std::int64_t i = first; i <= last; ++i)
        points << QPointF(std::lround(xToPixel(series_.x(i))), rowOf(series_.point(i), plot));
    QPainter painter(&image);
    painter.setClipRect(plot);
    painter.setPen(QPen(forms::colorOf(lineColor_), 0));
    if (points.size() == 1)
        painter.drawPoint(points.front());
    else
        painter.drawPolyline(points);
}

std::vector<char> WaveChart::invertedColumns(const Overlay& overlay) const
{
    const QRect plot = chartRect();
    std::vector<char> columns(static_cast<std::size_t>(std::max(0, plot.width())), 0);
    const auto flip = [&](int column) {
        if (column >= plot.left() && column <= plot.right())
            columns[static_cast<std::size_t>(column - plot.left())] ^= 1;
    };
    for (const int line : overlay.lines)
        flip(line);
    if (overlay.boxShown) {
        // The box covers the columns from its left edge up to, not including, its right edge.
        const int from = std::max(std::min(overlay.boxFrom, overlay.boxTo), plot.left() - 1);
        const int to = std::min(std::max(overlay.boxFrom, overlay.boxTo), plot.right() + 1);
        for (int column = from; column < to; ++column)
            flip(column);
    }
    return columns;
}

void WaveChart::invertDifference(const std::vector<char>& before, const std::vector<char>& after)
{
    const QRect plot = chartRect();
    const int top = std::max(0, plot.top() + 1);
    const int bottom = std::min(frame_.height(), plot.bottom() - 1); // excluded
    int changedFrom = -1;
    int changedTo = -1;
    for (std::size_t i = 0; i < after.size() && i < before.size(); ++i) {
        if (before[i] == after[i])
            continue;
        const int column = plot.left() + int(i);
        if (column >= frame_.width())
            break;
        for (int row = top; row < bottom; ++row) {
            QRgb& pixel = reinterpret_cast<QRgb*>(frame_.scanLine(row))[column];
            pixel = invertedPixel(pixel);
        }
        if (changedFrom < 0)
            changedFrom = column;
        changedTo = column;
    }
    if (changedFrom >= 0)
        repaint(QRect(changedFrom, top, changedTo - changedFrom + 1, bottom - top));
}

void WaveChart::setOverlay(const Overlay& overlay)
{
    overlay_ = overlay;
    std::vector<char> after = invertedColumns(overlay_);
    if (stale_ || frame_.size() != size() || after.size() != inverted_.size()) {
        inverted_ = std::move(after);
        waveformChanged();
        return;
    }
    invertDifference(inverted_, after);
    inverted_ = std::move(after);
}

void WaveChart::paintEvent(QPaintEvent* event)
{
    renderIfStale();
    QPainter painter(this);
    painter.drawImage(event->rect(), frame_, event->rect());
}

void WaveChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized(width(), height());
}

void WaveChart::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button(), event->modifiers(),
                   static_cast<int>(std::lround(event->position().x())));
}

} // namespace lentaro
