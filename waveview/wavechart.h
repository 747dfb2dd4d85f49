#pragma once

#include "platform/forms/screenunits.h"
#include "waveview/waveseries.h"

#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace lentaro {

// The waveform chart: one series of 16-bit points drawn over an X range, Y fixed at 16-bit full
// scale, no labels, ticks or legend. The waveform is drawn once into an image and kept until the
// data, the range, the size or a colour changes; the markers and the selection box lie over it as
// inverted columns, so moving them never draws the waveform again.
class WaveChart : public QWidget
{
    Q_OBJECT

public:
    // The plot's distance from the widget's edges, in pixels. The right one leaves room for the
    // part of the chart that reaches past its window.
    static constexpr int insetLeft = 8;
    static constexpr int insetTop = 8;
    static constexpr int insetRight = 30;
    static constexpr int insetBottom = 8;

    // Windows colour values, &H00BBGGRR.
    static constexpr std::uint32_t defaultBackColor = 0x00FFFFFF;
    static constexpr std::uint32_t defaultLineColor = 0x00000000;

    explicit WaveChart(QWidget* parent = nullptr);

    const WaveSeries& series() const { return series_; }
    // The new series shows over its whole range.
    void setSeries(WaveSeries series);

    double xMin() const { return xMin_; }
    double xMax() const { return xMax_; }
    // Ignored unless min < max.
    void setXRange(double min, double max);

    // The plot area in widget pixels: left, top, right, bottom (right and bottom included).
    QRect chartRect() const;

    std::uint32_t backColor() const { return backColor_; }
    void setBackColor(std::uint32_t color);
    std::uint32_t lineColor() const { return lineColor_; }
    void setLineColor(std::uint32_t color);

    // While held, changes repaint nothing; the release repaints once.
    bool holdRedraw() const { return holdRedraw_; }
    void setHoldRedraw(bool hold);
    // Repaints what is on the screen (the waveform image stays unless something it shows changed).
    void refresh();

    // The pixel column of point i (rounded); -1 when i is outside 1..count. Points outside the
    // range land outside the plot.
    int pointToPixel(std::int64_t point) const;
    // The point whose X the column maps to, nearest by the inverse map, clamped to 1..count
    // (0 when there are no points).
    std::int64_t pixelToPoint(int pixel) const;
    // The linear map between X and pixel columns, unclamped.
    double xToPixel(double x) const;
    double pixelToX(double pixel) const;

    // What lies over the waveform: one inverted column for each shown line, and the box, the
    // columns from one edge to the other (in either order), inverted once more. Rows chartRect
    // top + 1 to bottom - 1, columns within the plot.
    struct Overlay {
        std::vector<int> lines;
        bool boxShown = false;
        int boxFrom = 0;
        int boxTo = 0;
    };
    void setOverlay(const Overlay& overlay);

    // How many times the waveform image has been drawn.
    int renders() const { return renders_; }

signals:
    void resized(int width, int height);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void waveformChanged();
    void renderIfStale();
    void renderColumns(QImage& image, const QRect& plot) const;
    void renderPolyline(QImage& image, const QRect& plot) const;
    int rowOf(int value, const QRect& plot) const;
    // 1 for each plot column the overlay inverts, 0 otherwise.
    std::vector<char> invertedColumns(const Overlay& overlay) const;
    // Inverts the frame's columns that differ between two overlays and repaints them.
    void invertDifference(const std::vector<char>& before, const std::vector<char>& after);
    void repaint(const QRect& area);

    WaveSeries series_;
    double xMin_ = 0;
    double xMax_ = 1;
    std::uint32_t backColor_ = defaultBackColor;
    std::uint32_t lineColor_ = defaultLineColor;
    bool holdRedraw_ = false;
    bool heldChanges_ = false;

    bool stale_ = true;
    QImage frame_; // the waveform with the overlay inverted over it
    Overlay overlay_;
    std::vector<char> inverted_;
    int renders_ = 0;
};

// Holds a chart's redrawing for a scope and releases it on every way out.
class HeldRedraw
{
public:
    explicit HeldRedraw(WaveChart& chart) : chart_(chart) { chart_.setHoldRedraw(true); }
    ~HeldRedraw() { chart_.setHoldRedraw(false); }
    HeldRedraw(const HeldRedraw&) = delete;
    HeldRedraw& operator=(const HeldRedraw&) = delete;

private:
    WaveChart& chart_;
};

} // namespace lentaro
