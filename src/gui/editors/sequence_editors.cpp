#include "gui/editors/sequence_editors.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>
#include <optional>

#include "app/listing_lines.h"
#include "base/atomic_file.h"
#include "base/codepage.h"
#include "base/file_name.h"
#include "base/text_encoding.h"
#include "gui/editors/tlisting_form.h"
#include "gui/main/font_setting.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/main/window_place_keeper.h"
#include "seq/sequence_files.h"

namespace kasa::gui {

namespace {

constexpr const char* kSeqCaption = "Edycja sekwencji do drukarki.";
constexpr const char* kBinCaption = "Edycja sekwencji binarnych do drukarki.";
constexpr const char* kSourceFilter = "Sekwencje (*.txt);;Wszystkie pliki (*)";
constexpr const char* kSekFilter = "Sekwencje (*.sek);;Wszystkie pliki (*)";
constexpr const char* kBinFilter = "Postać binarna (*.bin);;Wszystkie pliki (*)";
constexpr const char* kBinReadFilter = "Sekwencje (*.bin);;Wszystkie pliki (*)";
constexpr const char* kReadTitle = "Odczyt pliku do edycji.";
constexpr const char* kTextSaveTitle = "Zapis pliku w postaci znakowej.";
constexpr const char* kCompileFailed = "Kompilacja nie powiodła się.\nSprawdź składnię";
constexpr const char* kUnknownType = "Nierozpoznany typ pliku.";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The folder a dialog starts in: that of the file last used.
std::string FolderOf(const std::string& path) {
    return path.empty() ? std::string() : QFileInfo(Q(path)).absolutePath().toStdString();
}

std::string Upper(const std::string& text) {
    return Utf8ToUpper(text);
}

// The compile listing starts empty: shown when hidden, cleared when already shown.
void ShowOrClear(TListingForm& listing) {
    if (listing.isVisible()) {
        listing.Clear();
    } else {
        listing.ShowInMode(kListingSequenceMode);
    }
}

}  // namespace

// --- Common ---

SequenceEditorWindow::SequenceEditorWindow(UserInterface& ui, WindowPlace& place,
                                           const char* caption, Sender sender, QWidget* parent)
    : QMainWindow(parent), ui_(ui), place_(place), caption_(caption), sender_(std::move(sender)) {
    setWindowTitle(QString::fromUtf8(caption));
    // "Zamknij Edytor" is the way out: the title bar has no close button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinMaxButtonsHint);
    placeKeeper_ = new WindowPlaceKeeper(*this, place_);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 5, 5);
    path_ = new QLabel(central);
    path_->setObjectName("Label1");
    path_->installEventFilter(this);
    text_ = new QPlainTextEdit(central);
    text_->setObjectName("Memo1");
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(path_);
    layout->addWidget(text_, 1);
    setCentralWidget(central);
    resize(600, 420);
    dialog_ = [this](bool save, const QString& title, const QString& filter,
                     const QString& proposed) {
        return save ? QFileDialog::getSaveFileName(this, title, proposed, filter)
                    : QFileDialog::getOpenFileName(this, title, proposed, filter);
    };
}

void SequenceEditorWindow::SetFonts(const FontSet& fonts) {
    ApplyFontSetting(*text_, fonts.wind);
    ApplyFontSetting(*path_, fonts.info);
}

void SequenceEditorWindow::AddItem(QMenu* menu, const char* caption,
                                   std::function<void()> command) {
    QAction* action = menu != nullptr ? menu->addAction(QString::fromUtf8(caption))
                                      : menuBar()->addAction(QString::fromUtf8(caption));
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
}

QString SequenceEditorWindow::Choose(bool save, const char* title, const char* filter,
                                     const std::string& proposed) {
    return dialog_(save, QString::fromUtf8(title), QString::fromUtf8(filter), Q(proposed));
}

void SequenceEditorWindow::SetPath(const std::string& path) {
    path_->setText(Q(path));
}

std::vector<std::string> SequenceEditorWindow::Lines() const {
    std::vector<std::string> lines;
    for (QTextBlock block = text_->document()->begin(); block.isValid(); block = block.next()) {
        lines.push_back(block.text().toStdString());
    }
    // The text area always holds one line; an empty text is no line at all.
    if (lines.size() == 1 && lines[0].empty()) {
        lines.clear();
    }
    return lines;
}

void SequenceEditorWindow::SetLines(const std::vector<std::string>& lines, bool append) {
    QStringList text;
    for (const std::string& line : lines) {
        text << Q(line);
    }
    if (append && !text_->document()->isEmpty()) {
        text_->appendPlainText(text.join('\n'));
    } else {
        text_->setPlainText(text.join('\n'));
    }
}

void SequenceEditorWindow::KasujOkno() {
    text_->clear();
}

void SequenceEditorWindow::ZamknijEdytor() {
    placeKeeper_->Store();
    place_.showing = false;
    hide();
}

void SequenceEditorWindow::RestorePlace() {
    placeKeeper_->Restore();
    place_.showing = true;
    show();
    raise();
}

bool SequenceEditorWindow::WriteBytes(const std::string& path, const std::string& bytes) {
    const WriteResult written = WriteFileAtomically(path, bytes);
    if (!written.ok) {
        Message(written.message);
    }
    return written.ok;
}

void SequenceEditorWindow::PathClicked() {
    const std::string path = path_->text().toStdString();
    if (path.empty() ||
        ui_.Ask(caption_, "Zapisać do pliku\n" + path, Buttons::OkCancel) != Answer::Ok) {
        return;
    }
    SaveTo(path);
}

bool SequenceEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == path_ && event->type() == QEvent::MouseButtonRelease) {
        PathClicked();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Sequence editor ---

TEdytorSeqForm::TEdytorSeqForm(UserInterface& ui, Settings& settings, TListingForm& listing,
                               Sender sender, QWidget* parent)
    : SequenceEditorWindow(ui, settings.EditSeq, kSeqCaption, std::move(sender), parent),
      settings_(settings),
      listing_(listing) {
    setObjectName("EdytorSeqForm");
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Plik"));
    AddItem(file, "&Odczyt sekwencji", [this] { OdczytSekwencji(); });
    AddItem(file, "Zapisz &sekwencję", [this] { ZapiszSekwencje(); });
    AddItem(file, "Zapisz plik &binarny", [this] { ZapiszPlikBinarny(); });
    AddItem(file, "&Zamknij Edytor", [this] { ZamknijEdytor(); });
    AddItem(nullptr, "&Kasuj okno", [this] { KasujOkno(); });
    AddItem(nullptr, "&Transmituj", [this] { Transmituj(); });
    AddItem(nullptr, "&Sprawdź", [this] { Sprawdz(); });
    AddItem(nullptr, "&Opis", [this] { Opis(); });
}

void TEdytorSeqForm::ShowWindow() {
    KasujOkno();
    RestorePlace();
    const std::string path = place_.file;
    if (path.size() <= 2) {
        return;
    }
    if (Upper(path).find(".TXT") == std::string::npos) {
        Message(kUnknownType);
        return;
    }
    // The label is what a click saves to: it shows the file only once it was read.
    SetPath("");
    LoadSource(path);
}

void TEdytorSeqForm::ZamknijEdytor() {
    if (listing_.isVisible()) {
        listing_.Zamknij();
    }
    SequenceEditorWindow::ZamknijEdytor();
}

bool TEdytorSeqForm::LoadSource(const std::string& path) {
    std::vector<std::string> lines;
    std::string error;
    // A file refused leaves the text, the file name and the label as they were, so the next
    // save does not put the old text over the refused file.
    if (!compiler_.LoadSourceFrom(path, lines, &error)) {
        Message(error);
        return false;
    }
    place_.file = path;
    SetPath(path);
    SetLines(lines, false);
    return true;
}

void TEdytorSeqForm::OdczytSekwencji() {
    const QString chosen = Choose(false, kReadTitle, kSourceFilter, FolderOf(place_.file));
    if (chosen.isEmpty()) {
        return;
    }
    LoadSource(chosen.toStdString());
}

bool TEdytorSeqForm::SaveTo(const std::string& path) {
    compiler_.SetSourceFileName(path);
    const WriteResult written = compiler_.SaveSource(Lines());
    if (!written.ok) {
        Message(written.message);
    }
    return written.ok;
}

void TEdytorSeqForm::ZapiszSekwencje() {
    const QString chosen = Choose(true, kTextSaveTitle, kSourceFilter, place_.file);
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = WithSaveExtension(chosen.toStdString(), ".txt");
    place_.file = path;
    SetPath(path);
    SaveTo(path);
}

bool TEdytorSeqForm::CompileQuietly() {
    if (!compiler_.Compile(Lines(), nullptr)) {
        Message(kCompileFailed);
        return false;
    }
    return true;
}

void TEdytorSeqForm::ZapiszPlikBinarny() {
    const QString chosen = Choose(true, "Kompilacja i zapis pliku edytowanego.", kBinFilter,
                                  WithSaveExtension(place_.file, ".bin"));
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = WithSaveExtension(chosen.toStdString(), ".bin");
    settings_.EditBin.file = path;
    if (!CompileQuietly()) {
        return;
    }
    // Success is said only of a file that is there.
    if (WriteBytes(path, std::string(compiler_.Output().View()))) {
        ui_.Notice(caption_, "Kompilacja powiodła się.");
    }
}

void TEdytorSeqForm::Transmituj() {
    if (CompileQuietly()) {
        sender_(std::string(compiler_.Output().View()));
    }
}

void TEdytorSeqForm::Sprawdz() {
    ShowOrClear(listing_);
    std::vector<std::string> messages;
    compiler_.Compile(Lines(), &messages);
    for (const std::string& message : messages) {
        listing_.AddLine(message);
    }
}

void TEdytorSeqForm::Opis() {
    ShowOrClear(listing_);
    std::vector<std::string> description;
    compiler_.Describe(description);
    for (const std::string& line : description) {
        listing_.AddLine(line);
    }
}

// --- Binary editor ---

TEdytorForm::TEdytorForm(UserInterface& ui, WindowPlace& place, TListingForm& listing,
                         Sender sender, QWidget* parent)
    : SequenceEditorWindow(ui, place, kBinCaption, std::move(sender), parent), listing_(listing) {
    setObjectName("EdytorForm");
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Plik"));
    AddItem(file, "Odczyt &sekwencji", [this] { Odczyt(false, false); });
    AddItem(file, "D&opisz sekwencję", [this] { Odczyt(false, true); });
    AddItem(file, "&Zapisz sekwencję", [this] { ZapiszSekwencje(); });
    AddItem(file, "Odczyt plik &binarny", [this] { Odczyt(true, false); });
    AddItem(file, "Dopisz plik binar&ny", [this] { Odczyt(true, true); });
    AddItem(file, "Zapisz plik bina&rny", [this] { ZapiszPlikBinarny(); });
    AddItem(file, "&Zamknij Edytor", [this] { ZamknijEdytor(); });
    AddItem(nullptr, "&Kasuj okno", [this] { KasujOkno(); });
    AddItem(nullptr, "&Transmituj", [this] { Transmituj(); });
    auto* hint = new QLabel(QStringLiteral("[xHH] - zamieniany jest na wartość."), this);
    hint->setObjectName("Label2");
    centralWidget()->layout()->addWidget(hint);
}

void TEdytorForm::ShowWindow() {
    KasujOkno();
    RestorePlace();
    const std::string path = place_.file;
    if (path.size() <= 2) {
        return;
    }
    const std::string upper = Upper(path);
    const bool frames = upper.find(".BIN") != std::string::npos;
    if (!frames && upper.find(".SEK") == std::string::npos) {
        SetPath("");
        Message(kUnknownType);
        return;
    }
    if (!QFileInfo::exists(Q(path))) {
        SetPath("");
        return;
    }
    Load(path, frames, false);
}

void TEdytorForm::Load(const std::string& path, bool frames, bool append) {
    std::string error;
    const std::optional<std::string> bytes = ReadEditableSequenceFile(path, error);
    if (!bytes) {
        Message(error);
        return;
    }
    std::vector<std::string> lines;
    if (frames) {
        const FramesAsLines read = FramesToLines(*bytes);
        if (read.lines.empty()) {
            Message("W pliku " + path + " nie ma żadnej pełnej ramki.");
            return;
        }
        if (!read.mismatchedFrames.empty()) {
            ShowOrClear(listing_);
            for (const size_t number : read.mismatchedFrames) {
                listing_.AddLine(ChecksumMismatchText(number));
            }
        }
        lines = read.lines;
    } else {
        std::optional<std::vector<std::string>> read = SekLinesFromFile(*bytes);
        if (!read) {
            Message(NotTextFileMessage(path));
            return;
        }
        lines = std::move(*read);
    }
    if (!append) {
        place_.file = path;
        SetPath(path);
    }
    SetLines(lines, append);
}

void TEdytorForm::Odczyt(bool frames, bool append) {
    const QString chosen = Choose(false, frames ? "Odczyt pliku binarnego do edycji." : kReadTitle,
                                  frames ? kBinReadFilter : kSekFilter, FolderOf(place_.file));
    if (!chosen.isEmpty()) {
        Load(chosen.toStdString(), frames, append);
    }
}

bool TEdytorForm::SaveTo(const std::string& path) {
    if (UpperExtensionOf(path) == "BIN") {
        return WriteBytes(path, LinesToFrames(Lines()));
    }
    const std::vector<std::string> lines = Lines();
    if (const std::string refusal = SekSaveRefusal(lines); !refusal.empty()) {
        Message(refusal);
        return false;
    }
    return WriteBytes(path, SekFileBytes(lines));
}

void TEdytorForm::ZapiszSekwencje() {
    const QString chosen = Choose(true, kTextSaveTitle, kSekFilter, place_.file);
    if (!chosen.isEmpty()) {
        SaveTo(WithSaveExtension(chosen.toStdString(), ".sek"));
    }
}

void TEdytorForm::ZapiszPlikBinarny() {
    const QString chosen = Choose(true, "Zapis pliku edytowanego.", kBinFilter, place_.file);
    if (!chosen.isEmpty()) {
        SaveTo(WithSaveExtension(chosen.toStdString(), ".bin"));
    }
}

void TEdytorForm::Transmituj() {
    // One frame at a time, in line order; a frame that does not go stops the rest.
    for (const std::string& line : Lines()) {
        if (!sender_(LineToFrame(line))) {
            return;
        }
    }
}

// --- Binding ---

void SequenceEditors::Reopen(const FontSet& fonts) const {
    for (SequenceEditorWindow* editor : {static_cast<SequenceEditorWindow*>(sequence),
                                         static_cast<SequenceEditorWindow*>(binary)}) {
        if (editor->Showing()) {
            editor->SetFonts(fonts);
            editor->ShowWindow();
        }
    }
}

SequenceEditors BindSequenceEditors(
    TECRForm& form, Settings& settings,
    const std::function<SequenceEditorWindow::Sender(const std::string& caption)>& senderFor) {
    SequenceEditors editors;
    TListingForm& listing = *form.CompileListingWindow();
    editors.sequence =
        new TEdytorSeqForm(form.Ui(), settings, listing, senderFor(kSeqCaption), &form);
    editors.binary =
        new TEdytorForm(form.Ui(), settings.EditBin, listing, senderFor(kBinCaption), &form);
    for (SequenceEditorWindow* editor : {static_cast<SequenceEditorWindow*>(editors.sequence),
                                         static_cast<SequenceEditorWindow*>(editors.binary)}) {
        QObject::connect(&form, &TECRForm::aboutToClose, editor, [editor] { editor->hide(); });
    }
    form.BindAction(QStringLiteral("Edytor &SEQ"), [&form, editor = editors.sequence] {
        editor->SetFonts(form.Fonts());
        editor->ShowWindow();
    });
    form.BindAction(QStringLiteral("Edytor &BIN"), [&form, editor = editors.binary] {
        editor->SetFonts(form.Fonts());
        editor->ShowWindow();
    });
    return editors;
}

}  // namespace kasa::gui
