// Keeps a tool window's position and size in its settings block while it is shown: on
// every move and resize and when it loses focus.
#pragma once

#include <QObject>

#include "app/settings.h"

class QWidget;

namespace kasa::gui {

class WindowPlaceKeeper : public QObject {
  public:
    WindowPlaceKeeper(QWidget& window, WindowPlace& place);

    // The saved position and size when both width and height are known, else centred.
    void Restore();
    void Store();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    WindowPlace& place_;
};

}  // namespace kasa::gui
