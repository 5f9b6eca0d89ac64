// The listing window: a list of message lines the user can save, clear and copy. In the
// plain modes it is a resizable tool window that remembers its place; before a write to
// the register it shows the faults found, with Ponów and Anuluj; as the transmission
// preview it keeps only the latest lines.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/listing_lines.h"
#include "app/settings.h"
#include "base/user_interface.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace kasa::gui {

class TListingForm : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kVerificationWidth = 610;
    static constexpr int kVerificationHeight = 374;
    static constexpr int kVerificationListWidth = 590;
    static constexpr int kVerificationListHeight = 166;
    static constexpr int kPackagingListHeight = 100;  // mode 4

    // Returns the path chosen in a save dialog that starts at `suggested`, empty when the
    // user cancels.
    using SaveChooser = std::function<QString(const QString& suggested)>;

    // Refusals and failures go through `ui`, titled with `caption`, the window's caption.
    TListingForm(UserInterface& ui, const QString& caption, QWidget* parent = nullptr);

    // The instance's settings block: save file, position, size and whether it is open.
    void SetPlace(const WindowPlace& place) { place_ = place; }
    WindowPlace Place() const { return place_; }

    void ShowInMode(int mode);
    int Mode() const { return mode_; }

    void AddLine(const std::string& text, const FaultPlace& place = {});
    void AddLines(const std::vector<FaultLine>& lines);
    // The four labels of the verification modes; an empty text leaves its label as it is.
    // Every caption replaced, an empty one blanked.
    void ReplaceCaptions(const std::array<std::string, 4>& captions);
    void SetCaptions(const std::array<std::string, 4>& captions);
    void Clear();
    const ListingLines& Lines() const { return lines_; }

    // Ponów was chosen, rather than Anuluj, when the verification window closed last.
    bool RepeatRequested() const { return repeat_; }

    void SetListFont(const FontSetting& font);
    void SetSaveChooser(SaveChooser chooser) { saveChooser_ = std::move(chooser); }

    // The commands, public so tests can drive them as the menus and buttons do.
    void Zamknij();
    void Schowaj();
    void Kasuj() { Clear(); }
    void CopyAll();
    void CopySelection();
    void Ponow();
    void Anuluj();

    QListWidget* List() const { return list_; }
    QLabel* Heading() const { return heading_; }
    QLabel* CaptionLabel(int index) const { return captions_[static_cast<size_t>(index)]; }
    QPushButton* RepeatButton() const { return repeatButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

  signals:
    // Ponów: the write that belongs to `mode` is to run again.
    void repeatRequested(int mode);
    // A line that names a place in the tables was clicked.
    void placeChosen(const kasa::FaultPlace& place);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Plain() const { return !IsVerificationMode(mode_); }
    // The plain list and the sequence editor's list keep their place; the preview and
    // the fixed verification window do not.
    bool KeepsPlace() const { return mode_ == kListingPlainMode || mode_ == kListingSequenceMode; }
    void StorePlace();
    // Menu in the plain modes; heading, labels and buttons in the verification modes.
    void ShowInModeControls();
    void LayOut();
    void LayOutVerification();
    void Centre();
    void LineClicked(int row);
    void ToClipboard(const ListingCopy& copy);
    void FinishVerification(bool repeat);
    std::string Caption() const;

    UserInterface& ui_;
    QString caption_;
    WindowPlace place_;
    ListingLines lines_;
    int mode_ = kListingPlainMode;
    bool repeat_ = false;
    SaveChooser saveChooser_;

    QListWidget* list_ = nullptr;
    QLabel* heading_ = nullptr;
    std::array<QLabel*, 4> captions_{};
    QPushButton* repeatButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace kasa::gui
