// The whole program for window tests: a main window and its controller over a config
// file of its own, with every message and question answered by the test.
#pragma once

#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "gui/main/main_controller.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

namespace kasa::testing {

using kasa::Answer;
using kasa::Buttons;
using kasa::gui::MainController;
using kasa::gui::TECRForm;
using Shown = ShownMessage;

// A window and its controller over a config file of its own, which starts with `config`
// when that is given, and with every message and question answered by the test.
struct Program {
    explicit Program(bool demo = false, const std::string& config = {},
                     MainController::Options options = {}) {
        if (!config.empty()) {
            folder.Write("config.cfg", config);
        }
        form = std::make_unique<TECRForm>();
        form->Ui().SetAnswerProvider(
            [this](const std::string& title, const std::string& text, Buttons) {
                shown.push_back({title, text});
                const Answer a = answer;
                return a;
            });
        options.configPath = folder.Path("config.cfg");
        options.backupFolder = folder.Path("kopie/");
        options.demo = demo;
        controller = std::make_unique<MainController>(*form, options);
    }
    ~Program() {
        controller.reset();
        form.reset();
    }
    QString Label(const char* name) const {
        auto* label = form->ControlAs<QLabel>(QString::fromLatin1(name));
        return label != nullptr ? label->text() : QStringLiteral("<brak>");
    }
    // Lets the start guard's two seconds pass at once: its timer fires now, then keeps its
    // interval for the next start.
    void WaitForGuard() {
        QTimer* guard = form->StartGuardTimer();
        QCOMPARE(guard->interval(), TECRForm::kStartGuardMs);
        if (guard->isActive()) {
            guard->start(0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!form->StartGuardTaken(), 5000);
        guard->setInterval(TECRForm::kStartGuardMs);
    }
    kasa::gui::TUstawienieProgramuForm& SettingsWindow() { return *form->ProgramSettingsWindow(); }

    kasa::testing::ScratchFolder folder;
    std::unique_ptr<TECRForm> form;
    std::unique_ptr<MainController> controller;
    std::vector<Shown> shown;
    Answer answer = Answer::Ok;
};

// The request letters the register received, in order.
inline std::string Letters(kasa::sim::VirtualRegister& reg) {
    std::string letters;
    for (const std::string& payload : reg.ReceivedPayloads()) {
        const size_t at = payload.find_first_not_of("0123456789;");
        letters += at == std::string::npos ? '?' : payload[at];
    }
    return letters;
}

}  // namespace kasa::testing
