#include "gui/main/window_place_keeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kasa::gui {

namespace {

ScreenRect FromQt(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

QRect ToQt(const ScreenRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

}  // namespace

FrameMargins FrameOf(const QWidget& window) {
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    const FrameMargins frame{inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom()};
    if (frame.left == 0 && frame.top == 0 && frame.right == 0 && frame.bottom == 0) {
        return kAssumedFrame;
    }
    return frame;
}

ScreenRect AvailableAreaOf(const QWidget& window) {
    const QScreen* display = window.screen();
    if (display == nullptr) {
        display = QGuiApplication::primaryScreen();
    }
    return display != nullptr ? FromQt(display->availableGeometry()) : ScreenRect{0, 0, 1024, 700};
}

void PlaceOnScreen(QWidget& window, const QRect& client) {
    window.setGeometry(ToQt(FitInArea(FromQt(client), FrameOf(window), AvailableAreaOf(window))));
}

void CentreOnScreen(QWidget& window) {
    window.setGeometry(ToQt(
        CentreInArea(window.width(), window.height(), FrameOf(window), AvailableAreaOf(window))));
}

void PlaceBesideOwner(QWidget& window) {
    const FrameMargins frame = FrameOf(window);
    const ScreenRect area = AvailableAreaOf(window);
    const QWidget* owner =
        window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
    const QSize size = window.size();
    const ScreenRect placed = owner != nullptr && owner->isVisible()
                                  ? kasa::PlaceBesideOwner(size.width(), size.height(),
                                                           FromQt(owner->geometry()), frame, area)
                                  : CentreInArea(size.width(), size.height(), frame, area);
    window.setGeometry(ToQt(placed));
}

WindowPlaceKeeper::WindowPlaceKeeper(QWidget& window, WindowPlace& place)
    : QObject(&window), window_(window), place_(place) {
    window.installEventFilter(this);
}

void WindowPlaceKeeper::Restore() {
    if (place_.HasSavedSize()) {
        PlaceOnScreen(window_, QRect(place_.left, place_.top, place_.width, place_.height));
    } else {
        PlaceBesideOwner(window_);
    }
}

void WindowPlaceKeeper::Store() {
    if (!window_.isVisible()) {
        return;
    }
    const QRect frame = window_.geometry();
    place_.top = frame.top();
    place_.left = frame.left();
    place_.width = frame.width();
    place_.height = frame.height();
}

bool WindowPlaceKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
                                event->type() == QEvent::WindowDeactivate)) {
        Store();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kasa::gui
