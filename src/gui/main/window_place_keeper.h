// Keeps a tool window's position and size in its settings block while it is shown: on
// every move and resize and when it loses focus. Every window is put on the screen through
// the functions below, so that none lies, frame and all, outside the screen's free area.
#pragma once

#include <QObject>
#include <QRect>

#include "app/settings.h"
#include "app/window_placement.h"

class QWidget;

namespace kasa::gui {

// A title bar and thin borders, assumed until the window manager has framed the window.
inline constexpr FrameMargins kAssumedFrame{6, 30, 6, 6};

// The frame around `window` as the window manager drew it, or kAssumedFrame before that.
FrameMargins FrameOf(const QWidget& window);
// The free area (without panels) of the screen `window` is on, or of the main screen.
ScreenRect AvailableAreaOf(const QWidget& window);
// Sets the client rectangle `client`, moved and shrunk so that the framed window fits the
// free area.
void PlaceOnScreen(QWidget& window, const QRect& client);
// A window at its current size centred, frame and all, in the free area of its screen.
void CentreOnScreen(QWidget& window);
// A window at its current size beside or over its owner (the parent's window); centred on
// the screen when it has no visible owner.
void PlaceBesideOwner(QWidget& window);

class WindowPlaceKeeper : public QObject {
  public:
    WindowPlaceKeeper(QWidget& window, WindowPlace& place);

    // The saved position and size when both width and height are known, kept on the screen;
    // else beside or over the owner.
    void Restore();
    void Store();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    WindowPlace& place_;
};

}  // namespace kasa::gui
