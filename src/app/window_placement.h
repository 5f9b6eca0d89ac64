// Where windows go on the screen: a window with its frame (title bar and borders) lies wholly
// inside the screen's available area, and a tool window opens beside or over its owner. The
// window code measures the frame and the area and applies the rectangles given here.
#pragma once

#include <cstdint>

namespace kasa {

// A rectangle in screen pixels; right and bottom are one past the last pixel.
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    int32_t Right() const { return left + width; }
    int32_t Bottom() const { return top + height; }
    bool operator==(const ScreenRect&) const = default;
};

// The thickness of the frame the window manager puts around a window's client area.
struct FrameMargins {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The client rectangle `client` moved, and shrunk when it is too large, so that it and its
// frame lie inside `area`. A window that fits is left where it is.
ScreenRect FitInArea(const ScreenRect& client, const FrameMargins& frame, const ScreenRect& area);

// A client area of the given size with its frame centred in `area` (shrunk to fit).
ScreenRect CentreInArea(int32_t width, int32_t height, const FrameMargins& frame,
                        const ScreenRect& area);

// A tool window of the given client size next to its owner, whose client rectangle is
// `owner`: to the owner's right when it fits there whole, else to its left, else centred over
// the owner; always inside `area`, with its top level with the owner's top.
ScreenRect PlaceBesideOwner(int32_t width, int32_t height, const ScreenRect& owner,
                            const FrameMargins& frame, const ScreenRect& area);

}  // namespace kasa
