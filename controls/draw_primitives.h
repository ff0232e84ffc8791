#pragma once
// The shared painters of the drawn controls: the surface painter with its
// bevel, frame and gradient modes, the framed gradient of the text panel,
// the text-panel colour schemes, 3-D edges in twips, and text fitting.

#include <cstdint>

#include <QString>

namespace rilumo {

class Surface;

inline constexpr std::int32_t kNoExtra = -99999;

// Painter modes: -2 clear to face, -1 frame, 1 raised bevel, 2 diagonal
// gradient, 5 horizontal centre gradient, 6 vertical centre gradient, 7 = 5
// with frame, 8 = 6 with frame. Colours of -1 take ToneColor 0, 1, 2.
void PaintSurface(Surface& s, int mode, std::int32_t light = -1, std::int32_t face = -1,
                  std::int32_t shadow = -1, std::int32_t extra1 = kNoExtra,
                  std::int32_t extra2 = kNoExtra, std::int32_t extra3 = kNoExtra);

// Diagonal gradient from a to b (unless skip), then rings of light (b + 40)
// on the top and left and dark (a - 40) on the bottom and right.
void PaintFramedGradient(Surface& s, std::int32_t a, std::int32_t b, std::int32_t& skip,
                         std::int32_t& rings);

// Text and background colours of the text-panel schemes -1..6.
void ApplyColorScheme(Surface& s, int scheme, std::int32_t a, std::int32_t b);

// A soft 3-D edge, raised or sunken, around a rectangle given in twips.
void DrawEdgeRect(Surface& s, double x, double y, double w, double h, int sunken);

// What FitText needs of a surface: the width of a text, in the units of the
// width it fits.
class TextMeasure {
public:
    virtual double TextWidth(const QString& text) const = 0;

protected:
    ~TextMeasure() = default;
};

// The text cut at its end (or, with keepEnd, at its start) so that it fits
// width twips; at least one character stays. No ellipsis.
QString FitText(const QString& text, const TextMeasure& measure, double width, int keepEnd);
// Measured with the surface's font.
QString FitText(const QString& text, const Surface& s, double width, int keepEnd);

}  // namespace rilumo
