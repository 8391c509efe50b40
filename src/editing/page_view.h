#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/settings.h"
#include "gfx/colour.h"
#include "gfx/indexed_image.h"
#include "gfx/pixel_geometry.h"

namespace morvik {

// The geometry and pictures every editor page shares: the magnified view, its
// grid and scroll ranges, the palette strip and the colour sliders. The GUI only
// paints what these compute.

// The tools in the order of their buttons.
enum class EditTool : std::uint8_t {
    Pen = 0,
    Eraser = 1,
    Picker = 2,
    Fill = 3,
    Line = 4,
    Rectangle = 5,
    Select = 6,
};
enum class ColourChannel { Red, Green, Blue };

inline constexpr int kViewSide = 256;
inline constexpr int kStripWidth = 288;
inline constexpr int kStripHeight = 30;
inline constexpr int kSliderMaximum = 31;
inline constexpr PaletteColour kGridColour = PaletteColour::fromRgb(136, 136, 136);
// The view around the picture: a grey no 5-bit colour of the game expands to,
// so it never passes for a pixel of the picture or the background.
inline constexpr PaletteColour kCanvasColour = PaletteColour::fromRgb(100, 100, 100);
inline constexpr int kScrollPageStep = 10;

// The magnification the view uses for an up-down position: 0 counts as 1, so
// nothing ever divides by it.
int effectiveMagnification(int position);

// The largest scroll position along one side of the image: the part that the
// view (256 pixels unless the window grew) cannot show at once, at least 0.
int scrollMaximum(int imageSide, int magnification, int viewSide = kViewSide);

// How far the picture's first pixel lies from the view's left (or top) edge:
// a magnified picture narrower than the view is centred in it (rounded left),
// one that fills it starts at its edge.
int centringOffset(int imageSide, int magnification, int viewSide = kViewSide);

// The image pixel under a point of the view, the picture's first pixel shown
// (offsetX, offsetY) pixels into the view.
ImagePoint viewToImage(int viewX, int viewY, int magnification, int scrollX, int scrollY,
                       int offsetX = 0, int offsetY = 0);

// Where the picture lies in the view: its centring offsets and the size of the
// part of it the view shows. With a device ratio above 1 every length is in
// device pixels, the offsets those of the logical view scaled, so the picture
// lies where the pointer finds it.
struct PictureArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureArea&, const PictureArea&) = default;
};
PictureArea pictureArea(int imageWidth, int imageHeight, int magnification, int scrollX,
                        int scrollY, int viewWidth, int viewHeight, int deviceRatio = 1);

// View > Fit: the largest magnification (kMinMagnification to
// kMaxMagnification) at which the whole image fits the view; the smallest when
// none does.
int fitMagnification(int imageWidth, int imageHeight, int viewWidth, int viewHeight);

// The scroll position along one side after a zoom from magnification `from`
// to `to` that keeps the image pixel under view point `pointer` under it, as
// far as the new scroll range allows.
int scrollKeepingPixel(int pointer, int scroll, int from, int to, int imageSide, int viewSide);

// The image pixels the view (256x256 unless the window grew) shows, the partly
// shown ones at its right and bottom edges included.
ImageRect visibleImageArea(int magnification, int scrollX, int scrollY, int viewWidth = kViewSide,
                           int viewHeight = kViewSide);

// A one-pixel line of the grid, horizontal or vertical, end points included,
// inside the 256x256 view.
struct GridLine {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    friend bool operator==(const GridLine&, const GridLine&) = default;
};
// The grid over the view of an image of the given size: pixel lines every
// magnification pixels, or tile lines on the image's 8x8 boundaries wherever
// the view is scrolled. The caller passes the mode that applies
// (Settings::gridModeFor).
std::vector<GridLine> gridLines(GridMode mode, int magnification, int scrollX, int scrollY,
                                int imageWidth, int imageHeight, int viewWidth = kViewSide,
                                int viewHeight = kViewSide);

// Cell width of the palette strip: 36 pixels for 8 colours, 18 for 16.
int stripCellWidth(int colourCount);
// The colour whose cell holds strip column x; nothing right of the last cell.
std::optional<int> stripCellAt(int x, int colourCount);
// The 288x30 strip: one framed cell per colour, the current one framed white,
// the others black.
IndexedImage paletteStrip(std::span<const PaletteColour> colours, int current);

// A colour component as a slider shows it (0..31), and a slider value as stored.
int sliderPosition(std::uint8_t component);
std::uint8_t componentOf(int sliderValue);
std::uint8_t channelOf(PaletteColour colour, ColourChannel channel);
PaletteColour withChannel(PaletteColour colour, ColourChannel channel, std::uint8_t value);

// A colour typed into the hex field: "#RRGGBB", "RRGGBB" or the game's 15-bit
// word "$7FFF" (any case, spaces around allowed); nothing for any other text.
// A 24-bit colour comes back as typed: storing it keeps each component's top
// five bits (asStored).
std::optional<PaletteColour> parseColourText(std::string_view text);
// The hex field's text: "#RRGGBB" in capitals.
std::string colourText(PaletteColour colour);

// The lines of a palette list: "Palette #0" to "Palette #count-1".
std::vector<std::string> paletteListLabels(int count);

// The text of the magnification label.
std::string magnificationLabel(int magnification);

// The status bar over a pixel of the view: "x 37, y 12", its colour index with
// the colour's 5-bit components, the magnification and the item's name.
std::string pixelStatus(ImagePoint point, int colourIndex, PaletteColour colour, int magnification,
                        const std::string& itemName);

// The colour [ and ] step to: the previous or next one of the strip, held to it.
int steppedColour(int current, int step, int colourCount);

}  // namespace morvik
