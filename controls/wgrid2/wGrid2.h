#pragma once

#include <QVariantMap>
#include <QWidget>

#include <array>
#include <cstdint>

namespace lentaro {

// The rhythm grid: up to 30 beat lines with a line at each half beat and lines at each third,
// laid over another control (the waveform chart). Positions and sizes are twips of the control.
// The left mouse button drags the grid along, the right one stretches its beats; both report
// through firstLineChanged and beatWidthChanged, raised inside every set of FirstLine and
// BeatWidth. The control is drawn only where its lines are: clicks between them reach the control
// beneath.
class wGrid2 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int beatLines = 30;
    static constexpr int defaultBeatWidth = 360;
    // Windows colour values, &H00BBGGRR.
    static constexpr std::uint32_t defaultBeatColor = 0;
    static constexpr std::uint32_t defaultHalfColor = 0xFF0000;
    static constexpr std::uint32_t defaultThirdColor = 0xFF00;

    // One of the grid's lines as laid out: Left, Top, Width and Height in twips.
    struct Line {
        float left = 0;
        int top = 0;
        int width = 15;
        int height = 0;
        bool visible = false;
    };

    explicit wGrid2(QWidget* parent = nullptr);

    std::int32_t FirstLine() const { return firstLine_; }
    void setFirstLine(std::int32_t twips);
    int BeatWidth() const { return beatWidth_; }
    // Rounds to a whole number, halves to even. Outside -32768..32767 it throws
    // std::overflow_error and changes nothing.
    void setBeatWidth(double twips);
    int BeatsPerMeasure() const { return beatsPerMeasure_; }
    // Every measure's first beat line (index Mod BeatsPerMeasure = 0) is drawn 30 twips wide, the
    // others 15; 0 leaves the widths as they are.
    void setBeatsPerMeasure(int beats);
    bool HalvesVisible() const { return halvesVisible_; }
    void setHalvesVisible(bool visible);
    bool ThirdsVisible() const { return thirdsVisible_; }
    void setThirdsVisible(bool visible);
    std::uint32_t BeatColor() const { return beatColor_; }
    void setBeatColor(std::uint32_t color);
    std::uint32_t HalfColor() const { return halfColor_; }
    void setHalfColor(std::uint32_t color);
    std::uint32_t ThirdColor() const { return thirdColor_; }
    void setThirdColor(std::uint32_t color);

    // The Left of beat line beatNum (1..30), rounded; -1 for any other number.
    std::int32_t BeatPosition(int beatNum) const;

    // The lines as laid out: beat line i, its half line, its thirds 2i and 2i + 1.
    const Line& mjrLine(int i) const { return mjrLine_.at(std::size_t(i)); }
    const Line& andLine(int i) const { return andLine_.at(std::size_t(i)); }
    const Line& thirdLine(int i) const { return thirdLine_.at(std::size_t(i)); }

    // The eight properties as the host form keeps them; a value equal to its default is left
    // out. Reading sets each through its property (missing ones take their defaults).
    void writeProperties(QVariantMap& properties) const;
    void readProperties(const QVariantMap& properties);

signals:
    void firstLineChanged();
    void beatWidthChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void initProperties();
    // Places every line from FirstLine and BeatWidth in the control's present size.
    void layOut();
    // Top and height of a line of inset level 0, 1 or 2 in a control `height` twips high.
    static void insetLine(Line& line, std::int64_t height, int level);
    void restyled();
    // The control's surface: the shown lines and the drag handle, in pixels.
    QRegion drawnRegion() const;
    static QRect pixelsOf(const Line& line, double tppx);
    std::int32_t twipsOfMouse(const QMouseEvent& event) const;

    std::int32_t lastX_ = 0;
    bool leftButtonDown_ = false;
    bool rightButtonDown_ = false;
    std::int32_t firstLine_ = 0;
    bool halvesVisible_ = true;
    bool thirdsVisible_ = false;
    int beatsPerMeasure_ = 4;
    std::uint32_t beatColor_ = defaultBeatColor;
    std::uint32_t halfColor_ = defaultHalfColor;
    std::uint32_t thirdColor_ = defaultThirdColor;
    int beatWidth_ = defaultBeatWidth;

    std::array<Line, beatLines> mjrLine_;
    std::array<Line, beatLines> andLine_;
    std::array<Line, 2 * beatLines> thirdLine_;
    Line dragHandle_;
};

} // namespace lentaro
