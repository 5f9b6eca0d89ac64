#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace kasa {
namespace {

// A 1024×700 screen with no panels and a frame of 4-pixel borders under a 24-pixel title bar.
constexpr ScreenRect kScreen{0, 0, 1024, 700};
constexpr FrameMargins kFrame{4, 24, 4, 4};

TEST(WindowPlacementTest, SavedTopOfZeroKeepsTheTitleBarOnTheScreen) {
    // The client area at y = 0 would put the 24-pixel title bar above the screen.
    EXPECT_EQ(FitInArea({100, 0, 600, 400}, kFrame, kScreen), (ScreenRect{100, 24, 600, 400}));
    // A panel across the top: the frame starts below it.
    EXPECT_EQ(FitInArea({10, 0, 400, 300}, kFrame, {0, 30, 1024, 670}),
              (ScreenRect{10, 54, 400, 300}));
}

TEST(WindowPlacementTest, AWindowThatFitsStaysWhereItWas) {
    EXPECT_EQ(FitInArea({200, 100, 400, 300}, kFrame, kScreen), (ScreenRect{200, 100, 400, 300}));
    // Touching every edge with its frame is still inside.
    EXPECT_EQ(FitInArea({4, 24, 1016, 672}, kFrame, kScreen), (ScreenRect{4, 24, 1016, 672}));
}

TEST(WindowPlacementTest, DesignedSizeOnASmallScreenShowsTheStatusLine) {
    // The main window's designed 1280×800 at the top left corner: the frame's bottom edge
    // ends on the screen's last row, so the status line above it is seen.
    const ScreenRect placed = FitInArea({4, 24, 1280, 800}, kFrame, kScreen);
    EXPECT_EQ(placed, (ScreenRect{4, 24, 1016, 672}));
    EXPECT_EQ(placed.Bottom() + kFrame.bottom, 700);
}

TEST(WindowPlacementTest, SavedPositionsOffTheScreenComeBackOntoIt) {
    EXPECT_EQ(FitInArea({3000, 2000, 500, 300}, kFrame, kScreen), (ScreenRect{520, 396, 500, 300}));
    EXPECT_EQ(FitInArea({-900, -500, 500, 300}, kFrame, kScreen), (ScreenRect{4, 24, 500, 300}));
    // Partly off the right edge only: moved left, height and top unchanged.
    EXPECT_EQ(FitInArea({900, 100, 300, 200}, kFrame, kScreen), (ScreenRect{720, 100, 300, 200}));
}

TEST(WindowPlacementTest, AWindowLargerThanTheScreenIsShrunkToIt) {
    EXPECT_EQ(FitInArea({50, 50, 2000, 1500}, kFrame, kScreen), (ScreenRect{4, 24, 1016, 672}));
    EXPECT_EQ(CentreInArea(900, 1000, kFrame, kScreen), (ScreenRect{62, 24, 900, 672}));
}

TEST(WindowPlacementTest, CentredWithItsFrame) {
    EXPECT_EQ(CentreInArea(600, 400, kFrame, kScreen), (ScreenRect{212, 160, 600, 400}));
    EXPECT_EQ(CentreInArea(600, 400, kFrame, {100, 50, 1024, 700}),
              (ScreenRect{312, 210, 600, 400}));
}

TEST(WindowPlacementTest, AToolWindowOpensBesideOrOverItsOwner) {
    // Room on the owner's right: there, level with its top.
    EXPECT_EQ(PlaceBesideOwner(600, 400, {4, 24, 400, 300}, kFrame, kScreen),
              (ScreenRect{412, 24, 600, 400}));
    // No room on the right, room on the left.
    EXPECT_EQ(PlaceBesideOwner(400, 300, {700, 100, 300, 300}, kFrame, kScreen),
              (ScreenRect{292, 100, 400, 300}));
    // A maximised owner: centred over it.
    EXPECT_EQ(PlaceBesideOwner(600, 400, {4, 24, 1016, 672}, kFrame, kScreen),
              (ScreenRect{212, 160, 600, 400}));
    // Over an owner near the right edge: centred over it, then pulled onto the screen.
    EXPECT_EQ(PlaceBesideOwner(600, 400, {600, 100, 400, 300}, kFrame, kScreen),
              (ScreenRect{420, 50, 600, 400}));
    // Beside an owner low on the screen: lifted so that its bottom edge stays on it.
    EXPECT_EQ(PlaceBesideOwner(400, 300, {4, 400, 300, 250}, kFrame, kScreen),
              (ScreenRect{312, 396, 400, 300}));
}

}  // namespace
}  // namespace kasa
