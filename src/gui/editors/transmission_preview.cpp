#include "gui/editors/transmission_preview.h"

#include "app/listing_lines.h"
#include "gui/editors/tlisting_form.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"

namespace kasa::gui {

TListingForm* BindTransmissionPreview(TECRForm& form) {
    auto* preview = new TListingForm(
        form.Ui(), QString::fromStdString(ListingHeading(kListingPreviewMode)), &form);
    preview->setObjectName("EErroorrPLU_Form");
    preview->Clear();
    form.BindAction(QString::fromUtf8(kPreviewMenuItem),
                    [preview] { preview->ShowInMode(kListingPreviewMode); });
    QObject::connect(&form.Ui(), &QtUserInterface::logLine, preview,
                     [preview](const QString& line) {
                         if (preview->isVisible()) {
                             preview->AddLine(line.toStdString());
                         }
                     });
    QObject::connect(&form, &TECRForm::aboutToClose, preview, [preview] { preview->hide(); });
    return preview;
}

}  // namespace kasa::gui
