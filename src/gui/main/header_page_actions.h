// The header page ("Nagłówek"): reading the header from the register, programming it,
// formatting the lines, the centring boxes, the red font of a line that does not fit and
// the character total that the page shows every second. The rules are the core's; this
// file only reads the controls and shows the outcome.
#pragma once

#include <functional>
#include <memory>

#include "app/settings.h"
#include "app/write_safeguards.h"
#include "comm/ecrclass.h"

namespace kasa::gui {

class TECRForm;

struct HeaderPageBinding {
    ECRClass& ecr;
    Settings& settings;
    std::function<bool()> busy;           // a background transfer runs
    std::function<bool()> fiscalChecked;  // the "Fiskalny" box
    // Runs an operation on the register unless another one runs or the window closes.
    std::function<void(const std::function<void()>&)> exclusive;
    // The header's validation: its faults go to the validation listing, whose "Ponów" runs
    // `retry`; true when the lines passed.
    std::function<bool(std::function<void()> retry)> validate;
    // The safeguards of the header write (its backup, the read back) and the telling of
    // their outcome after `done`.
    std::function<std::unique_ptr<WriteSafeguards>()> safeguards;
    std::function<void(const WriteSafeguards::Report& report, const std::string& done)>
        showSafeguards;
};

// Binds the page's buttons, boxes and edits once; the binding lives as long as the window.
void BindHeaderPageActions(TECRForm& form, HeaderPageBinding binding);

}  // namespace kasa::gui
