// The sequence editor (sources in the sequence language) and the binary editor (one frame
// a line). Both keep their place and file in the settings and send through the main
// window's sequence send; the file formats and conversions are the core's.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "base/user_interface.h"
#include "seq/seqcompileclass.h"

class QLabel;
class QMenu;
class QPlainTextEdit;

namespace kasa::gui {

class TECRForm;
class TListingForm;
class WindowPlaceKeeper;

class SequenceEditorWindow : public QMainWindow {
    Q_OBJECT
  public:
    // The file picked in an open (save false) or save dialog; empty when cancelled.
    using FileDialog = std::function<QString(bool save, const QString& title, const QString& filter,
                                             const QString& proposed)>;
    // Sends the bytes unchanged; false when they did not go (the reason was shown).
    using Sender = std::function<bool(const std::string& bytes)>;

    SequenceEditorWindow(UserInterface& ui, WindowPlace& place, const char* caption, Sender sender,
                         QWidget* parent);

    void SetFileDialog(FileDialog dialog) { dialog_ = std::move(dialog); }
    void SetFonts(const FontSet& fonts);
    virtual void ShowWindow() = 0;
    virtual void ZamknijEdytor();
    void KasujOkno();
    bool Showing() const { return place_.showing; }

    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines, bool append);
    QPlainTextEdit* Text() const { return text_; }
    QLabel* PathLabel() const { return path_; }

  protected:
    void AddItem(QMenu* menu, const char* caption, std::function<void()> command);
    QString Choose(bool save, const char* title, const char* filter, const std::string& proposed);
    void Message(const std::string& text) { ui_.Message(caption_, text); }
    void SetPath(const std::string& path);
    void RestorePlace();
    // Writes the lines to `path` in the form its extension asks for; false after a message.
    virtual bool SaveTo(const std::string& path) = 0;
    // Writes bytes whole or not at all; false after a message.
    bool WriteBytes(const std::string& path, const std::string& bytes);

    bool eventFilter(QObject* watched, QEvent* event) override;

    UserInterface& ui_;
    WindowPlace& place_;
    std::string caption_;
    Sender sender_;

  private:
    void PathClicked();

    FileDialog dialog_;
    QPlainTextEdit* text_ = nullptr;
    QLabel* path_ = nullptr;
    WindowPlaceKeeper* placeKeeper_ = nullptr;
};

class TEdytorSeqForm : public SequenceEditorWindow {
    Q_OBJECT
  public:
    TEdytorSeqForm(UserInterface& ui, Settings& settings, TListingForm& listing, Sender sender,
                   QWidget* parent);

    void ShowWindow() override;
    void ZamknijEdytor() override;
    void OdczytSekwencji();
    void ZapiszSekwencje();
    void ZapiszPlikBinarny();
    void Transmituj();
    void Sprawdz();
    void Opis();

  protected:
    bool SaveTo(const std::string& path) override;

  private:
    bool LoadSource(const std::string& path);
    bool CompileQuietly();

    Settings& settings_;
    TListingForm& listing_;
    SeqCompileClass compiler_;
};

class TEdytorForm : public SequenceEditorWindow {
    Q_OBJECT
  public:
    TEdytorForm(UserInterface& ui, WindowPlace& place, TListingForm& listing, Sender sender,
                QWidget* parent);

    void ShowWindow() override;
    // Reads a `.sek` (frames false) or a `.bin` into the text, replacing it or after it.
    void Load(const std::string& path, bool frames, bool append);
    void Odczyt(bool frames, bool append);
    void ZapiszSekwencje();
    void ZapiszPlikBinarny();
    void Transmituj();

  protected:
    bool SaveTo(const std::string& path) override;

  private:
    TListingForm& listing_;
};

struct SequenceEditors {
    TEdytorSeqForm* sequence = nullptr;
    TEdytorForm* binary = nullptr;
    // Opens the editors that were open when the program ended.
    void Reopen(const FontSet& fonts) const;
};

// Creates both editors and binds "Edytor &SEQ" and "Edytor &BIN" to them.
SequenceEditors BindSequenceEditors(
    TECRForm& form, Settings& settings,
    const std::function<SequenceEditorWindow::Sender(const std::string& caption)>& senderFor);

}  // namespace kasa::gui
