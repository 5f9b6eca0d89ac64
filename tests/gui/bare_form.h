// A main window of one register type without its controller, for tests of one group of
// commands: every message and question is answered Ok and kept as "title: text".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "tables/catalogue.h"

namespace kasa::testing {

struct BareForm {
    explicit BareForm(std::string type) {
        kasa::ActiveModelSelection().Select(type);
        form = std::make_unique<kasa::gui::TECRForm>();
        form->RebuildTables(1);
        form->Ui().SetAnswerProvider(
            [this](const std::string& title, const std::string& text, kasa::Buttons) {
                messages.push_back(title + ": " + text);
                return kasa::Answer::Ok;
            });
    }

    std::unique_ptr<kasa::gui::TECRForm> form;
    std::vector<std::string> messages;  // "title: text"
};

}  // namespace kasa::testing
