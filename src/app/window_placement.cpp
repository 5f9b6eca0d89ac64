#include "app/window_placement.h"

#include <algorithm>

namespace kasa {

namespace {

ScreenRect Outer(const ScreenRect& client, const FrameMargins& frame) {
    return {client.left - frame.left, client.top - frame.top,
            client.width + frame.left + frame.right, client.height + frame.top + frame.bottom};
}

ScreenRect Inner(const ScreenRect& outer, const FrameMargins& frame) {
    return {outer.left + frame.left, outer.top + frame.top,
            std::max(1, outer.width - frame.left - frame.right),
            std::max(1, outer.height - frame.top - frame.bottom)};
}

// One coordinate of an outer rectangle pushed inside [low, low + room): the far edge first,
// then the near edge, so that a window as large as the area keeps its title bar in view.
int32_t Clamp(int32_t start, int32_t size, int32_t low, int32_t room) {
    start = std::min(start, low + room - size);
    return std::max(start, low);
}

ScreenRect FitOuter(ScreenRect outer, const ScreenRect& area) {
    outer.width = std::min(outer.width, area.width);
    outer.height = std::min(outer.height, area.height);
    outer.left = Clamp(outer.left, outer.width, area.left, area.width);
    outer.top = Clamp(outer.top, outer.height, area.top, area.height);
    return outer;
}

}  // namespace

ScreenRect FitInArea(const ScreenRect& client, const FrameMargins& frame, const ScreenRect& area) {
    return Inner(FitOuter(Outer(client, frame), area), frame);
}

ScreenRect CentreInArea(int32_t width, int32_t height, const FrameMargins& frame,
                        const ScreenRect& area) {
    ScreenRect outer = FitOuter(Outer({0, 0, width, height}, frame), area);
    outer.left = area.left + (area.width - outer.width) / 2;
    outer.top = area.top + (area.height - outer.height) / 2;
    return Inner(outer, frame);
}

ScreenRect PlaceBesideOwner(int32_t width, int32_t height, const ScreenRect& owner,
                            const FrameMargins& frame, const ScreenRect& area) {
    const ScreenRect around = Outer(owner, frame);
    ScreenRect outer = FitOuter(Outer({0, 0, width, height}, frame), area);
    outer.top = around.top;
    if (around.Right() + outer.width <= area.Right()) {
        outer.left = around.Right();
    } else if (around.left - outer.width >= area.left) {
        outer.left = around.left - outer.width;
    } else {
        outer.left = around.left + (around.width - outer.width) / 2;
        outer.top = around.top + (around.height - outer.height) / 2;
    }
    return Inner(FitOuter(outer, area), frame);
}

}  // namespace kasa
