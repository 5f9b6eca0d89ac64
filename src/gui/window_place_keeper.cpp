#include "gui/window_place_keeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kasa::gui {

WindowPlaceKeeper::WindowPlaceKeeper(QWidget& window, WindowPlace& place)
    : QObject(&window), window_(window), place_(place) {
    window.installEventFilter(this);
}

void WindowPlaceKeeper::Restore() {
    if (place_.HasSavedSize()) {
        window_.setGeometry(place_.left, place_.top, place_.width, place_.height);
    } else if (const QScreen* display = QGuiApplication::primaryScreen()) {
        const QRect area = display->availableGeometry();
        window_.move(area.left() + (area.width() - window_.width()) / 2,
                     area.top() + (area.height() - window_.height()) / 2);
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
