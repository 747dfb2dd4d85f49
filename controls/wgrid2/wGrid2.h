#pragma once

#include <QVariantMap>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

namespace lentaro {

// The rhythm grid: up to 30 beat lines with a line at each half beat and lines at each third,
// laid over another control (the waveform chart). Positions and sizes are twips of the control.
// The left mouse button drags the grid along, the right one stretches its beats; both report
// through firstLineChanged and beatWidthChanged, raised inside every set of FirstLine and
// BeatWidth. The control is drawn only where its lines are: clicks away from them reach the control
// beneath, and a click on a line that drags nothing is passed on as clickedThrough.
class wGrid2 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int beatLines = 30;
    static constexpr int defaultBeatWidth = 360;
    // How far from a line, in pixels, the mouse still grabs it.
    static constexpr int grabMargin = 3;
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
    // Lays the lines out from a first line and a beat width in fractions of a twip, as a host
    // keeping the grid on its own finer scale places it: FirstLine and BeatWidth read them
    // rounded (halves to even), and each raises its event. A width outside the Integer range or a
    // first line outside the Long range throws std::overflow_error and changes nothing. A later
    // set of BeatWidth lays out from its whole twips again; moving FirstLine keeps the width.
    void place(double firstLine, double beatWidth);
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
    // A press and release on the grid that dragged nothing: a click on the control beneath, at
    // x pixels of the grid.
    void clickedThrough(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x);

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
    // The press that a release without a drag passes on as a click.
    std::optional<Qt::MouseButton> pressed_;
    Qt::KeyboardModifiers pressedModifiers_;
    int pressedX_ = 0;
    bool dragged_ = false;
    std::int32_t firstLine_ = 0;
    bool halvesVisible_ = true;
    bool thirdsVisible_ = false;
    int beatsPerMeasure_ = 4;
    std::uint32_t beatColor_ = defaultBeatColor;
    std::uint32_t halfColor_ = defaultHalfColor;
    std::uint32_t thirdColor_ = defaultThirdColor;
    int beatWidth_ = defaultBeatWidth;
    // What the lines are laid out from: FirstLine and BeatWidth, or the finer values placed.
    double firstLineExact_ = 0;
    double beatWidthExact_ = defaultBeatWidth;

    std::array<Line, beatLines> mjrLine_;
    std::array<Line, beatLines> andLine_;
    std::array<Line, 2 * beatLines> thirdLine_;
    Line dragHandle_;
};

} // namespace lentaro
