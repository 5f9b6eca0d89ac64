#include "gui/tables/table_file_actions.h"

#include <QFileDialog>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QVariant>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ecr/vat_totals.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/form_table_set.h"
#include "tables/header_line_centring.h"
#include "tables/table_files.h"

namespace kasa::gui {

namespace {

// Loaded header lines are shown as a click on their centring box would show them.
void CentreLoadedHeaderLines(const RegisterModel& model, const HeaderLines& before,
                             HeaderLines& after) {
    for (size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            after[i].text = CentredHeaderText(model, after[i]);
        }
    }
}

constexpr const char* kBoundProperty = "tableFileActionBound";

class TableFileActions : public QObject {
  public:
    TableFileActions(TECRForm& form, Settings& settings, std::function<bool()> busy,
                     FileChooser chooser)
        : QObject(&form),
          form_(form),
          settings_(settings),
          busy_(std::move(busy)),
          chooser_(std::move(chooser)) {
        setObjectName(QStringLiteral("TableFileActions"));
        if (!chooser_) {
            chooser_ = QtFileChooser(&form);
        }
    }

    void BindMenu() {
        form_.BindAction(QStringLiteral("&Zachowaj wszystko do pliku"), [this] { SaveAll(); });
        form_.BindAction(QStringLiteral("&Ładuj wszystko z pliku"), [this] { LoadAll(); });
    }

    void BindTableButtons() {
        for (int i = 0; i < kTableKindCount; ++i) {
            const auto kind = static_cast<TableKind>(i);
            if (kind == TableKind::kVat) {
                continue;  // the VAT rates go to files only with everything else
            }
            const std::string_view tableName = form_.Model().Table(kind).tableName;
            const QString name =
                QString::fromUtf8(tableName.data(), static_cast<qsizetype>(tableName.size()));
            BindButton(name + QStringLiteral("_zapis"), [this, kind] { SaveTable(kind); });
            BindButton(name + QStringLiteral("_odczyt"), [this, kind] { LoadTable(kind); });
        }
    }

  private:
    void BindButton(const QString& objectName, std::function<void()> handler) {
        auto* button = form_.ControlAs<QPushButton>(objectName);
        // The header page outlives a rebuilding: its buttons are bound once.
        if (button == nullptr || button->property(kBoundProperty).toBool()) {
            return;
        }
        button->setProperty(kBoundProperty, true);
        form_.BindButton(objectName, std::move(handler));
    }

    std::string Caption() const { return form_.windowTitle().toStdString(); }

    bool RefusedAsBusy() {
        if (busy_ && busy_()) {
            form_.Ui().Message(Caption(), kBusyMessage);
            return true;
        }
        return false;
    }

    // Asks for a file with the core's dialog rules; the file and its kind are remembered.
    // While a transfer runs the user is told so and no file is chosen.
    std::optional<std::string> ChooseFile(FileDialogMode mode, const char* caption, bool allKinds) {
        if (RefusedAsBusy()) {
            return std::nullopt;
        }
        const TableFileOffer offer = OfferTableFile(settings_, allKinds);
        FileDialogRequest request;
        request.mode = mode;
        request.caption = QString::fromUtf8(caption);
        request.startPath = QString::fromStdString(offer.startPath);
        for (const std::string& filter : offer.filters) {
            request.filters << QString::fromStdString(filter);
        }
        request.selectedFilter = QString::fromStdString(offer.selectedFilter);

        const FileDialogChoice choice = chooser_(request);
        std::string path =
            ChooseTableFile(settings_, offer, choice.path.toStdString(),
                            choice.selectedFilter.toStdString(), mode == FileDialogMode::kOpen);
        if (path.empty()) {
            return std::nullopt;
        }
        // The dialog asks about the name typed; the file written may carry an extension added
        // since, so the question is asked here, about that file.
        std::error_code error;
        if (mode == FileDialogMode::kSave && std::filesystem::exists(path, error) &&
            form_.Ui().Ask(Caption(), OverwriteQuestion(path), Buttons::YesNo) != Answer::Yes) {
            return std::nullopt;
        }
        return path;
    }

    void SaveTable(TableKind kind) {
        const std::optional<std::string> path =
            ChooseFile(FileDialogMode::kSave, kSaveTableCaption, kind != TableKind::kHeader);
        if (!path) {
            return;
        }
        const TableSet tables = CollectTableSet(form_, kind);
        const WriteResult result =
            SaveTableFile(*path, form_.Model(), kind, tables, form_.MinPlu());
        if (!result.ok) {
            form_.Ui().Message(Caption(), result.message);
        }
    }

    void LoadTable(TableKind kind) {
        const std::optional<std::string> path =
            ChooseFile(FileDialogMode::kOpen, kLoadTableCaption, kind != TableKind::kHeader);
        if (!path) {
            return;
        }
        TableSet tables = CollectTableSet(form_, kind);
        const HeaderLines before = tables.header;
        const TableLoadOutcome outcome =
            LoadTableFile(*path, form_.Model(), kind, tables, form_.MinPlu());
        if (kind == TableKind::kHeader) {
            CentreLoadedHeaderLines(form_.Model(), before, tables.header);
        }
        // Whatever was read before a failure stays and is shown.
        ApplyTableSet(form_, tables, kind);
        // A load that succeeded may still tell of something left out (an unknown column).
        if (!outcome.message.empty()) {
            form_.Ui().Message(Caption(), outcome.message);
        }
    }

    void SaveAll() {
        const std::optional<std::string> path =
            ChooseFile(FileDialogMode::kSave, kSaveAllCaption, false);
        if (!path) {
            return;
        }
        TableSet tables = CollectTableSet(form_);
        // Empty "Nowa stawka" fields would leave the backup without rates: the register's
        // rates shown beside them stand in.
        std::array<std::string, 7> shown;
        for (size_t i = 0; i < shown.size(); ++i) {
            const auto* label =
                form_.ControlAs<QLabel>(QStringLiteral("EVat") + QChar('A' + static_cast<int>(i)));
            shown[i] = label != nullptr ? label->text().toStdString() : std::string();
        }
        tables.vatRates = VatRatesToStore(tables.vatRates, shown);
        // A failure is shown by the save itself.
        SaveAllToPodFile(*path, form_.Model(), tables, form_.MinPlu(), form_.Ui(), Caption());
        form_.Ui().SetProgress(0, 0);  // the bar shows work in progress, not work done
    }

    void LoadAll() {
        const std::optional<std::string> path =
            ChooseFile(FileDialogMode::kOpen, kLoadAllCaption, false);
        if (!path) {
            return;
        }
        TableSet tables = CollectTableSet(form_);
        const HeaderLines before = tables.header;
        // Each table's failure is shown by the load itself.
        LoadAllFromPodFile(*path, form_.Model(), tables, form_.MinPlu(), form_.Ui(), Caption());
        CentreLoadedHeaderLines(form_.Model(), before, tables.header);
        ApplyTableSet(form_, tables);
        form_.Ui().SetProgress(0, 0);
    }

    TECRForm& form_;
    Settings& settings_;
    std::function<bool()> busy_;
    FileChooser chooser_;
};

}  // namespace

FileChooser QtFileChooser(QWidget* parent) {
    return [parent](const FileDialogRequest& request) {
        FileDialogChoice choice;
        choice.selectedFilter = request.selectedFilter;
        const QString filters = request.filters.join(QStringLiteral(";;"));
        if (request.mode == FileDialogMode::kSave) {
            choice.path = QFileDialog::getSaveFileName(parent, request.caption, request.startPath,
                                                       filters, &choice.selectedFilter,
                                                       QFileDialog::DontConfirmOverwrite);
        } else {
            choice.path = QFileDialog::getOpenFileName(parent, request.caption, request.startPath,
                                                       filters, &choice.selectedFilter);
        }
        return choice;
    };
}

void BindTableFileActions(TECRForm& form, Settings& settings, std::function<bool()> busy,
                          FileChooser chooser) {
    auto* actions = new TableFileActions(form, settings, std::move(busy), std::move(chooser));
    actions->BindMenu();
    actions->BindTableButtons();
    QObject::connect(&form, &TECRForm::tablesRebuilt, actions,
                     [actions] { actions->BindTableButtons(); });
}

}  // namespace kasa::gui
