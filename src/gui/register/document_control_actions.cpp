#include "gui/register/document_control_actions.h"

#include "ecr/vat_totals.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/register/document_control_form.h"
#include "verify/document_request.h"

namespace kasa::gui {

TDocumentControl_Form* BindDocumentControl(TECRForm& form, ECRClass& ecr,
                                           std::function<bool()> busy) {
    auto* window = new TDocumentControl_Form(form.Ui(), &form);
    form.BindAction(QStringLiteral("We&ryfikacja dokumentu"), [&form, &ecr, window, busy] {
        if (window->isVisible()) {
            return;
        }
        if (!CanVerifyDocuments(ecr)) {
            form.Ui().Message(kDocumentControlCaption, kNoVesperMessage);
            return;
        }
        window->OpenNormal([&form, &ecr, busy](const DocumentRequest& request) {
            // The register serves one conversation at a time.
            if (busy()) {
                form.Ui().Message(kDocumentControlCaption, kBusyMessage);
                return DocumentVerdict{0, -1};
            }
            return VerifyPrintedDocument(ecr, request);
        });
    });
    return window;
}

}  // namespace kasa::gui
