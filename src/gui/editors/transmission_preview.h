// The transmission preview: a listing window in its preview mode that shows the protocol
// log lines while it is visible and drops them while it is hidden.
#pragma once

#include <QString>

namespace kasa::gui {

class TECRForm;
class TListingForm;

inline constexpr const char* kPreviewMenuItem = "Podg&ląd trasmisji";

// Creates the window (hidden, empty), binds the menu item and passes the log lines to it.
TListingForm* BindTransmissionPreview(TECRForm& form);

}  // namespace kasa::gui
