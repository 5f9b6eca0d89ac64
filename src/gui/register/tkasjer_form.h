// The cashier permissions window: 29 check boxes for one VESPER cashier's permission value,
// the value as the register gets it, and the named profiles of a profile file.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ecr/cashier_permissions.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace kasa {
class TextGrid;
class UserInterface;
}  // namespace kasa

namespace kasa::gui {

class GridModel;

class TKasjerForm : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kTimerMs = 2000;

    TKasjerForm(QWidget* parent, UserInterface& ui);

    // Where "Zapisz zmiany" puts the value: a cell of a grid (and its model, to repaint).
    struct Target {
        TextGrid* grid = nullptr;
        GridModel* model = nullptr;
        int col = -1;
        int row = -1;
    };
    // Ticks the boxes from `value` (decimal) and shows the window.
    void Open(const std::string& value, Target target);
    // The grid it edits is gone (the tables were built anew): the window forgets it and
    // closes, so that no change can reach freed memory.
    void Detach();

    // The dialogs, replaced by tests: the profile file, the profile name, the description.
    using FileChooser = std::function<std::optional<std::string>()>;
    using TextAsker = std::function<std::optional<std::string>(const std::string& proposal)>;
    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    void SetNameAsker(TextAsker asker) { askName_ = std::move(asker); }
    void SetCommentEditor(TextAsker editor) { editComment_ = std::move(editor); }

    const std::string& ProfilePath() const { return profilePath_; }
    QCheckBox* Box(int permission) const { return boxes_[static_cast<size_t>(permission)]; }
    PermissionMask Mask() const;
    const std::vector<PermissionProfile>& Profiles() const { return profiles_; }
    const std::string& ValueText() const { return value_; }

    // The commands, public so tests can drive them as the buttons do.
    void SaveChanges();
    void RestoreValue();
    void ShowMask();
    void ApplySwitches();
    void ProfileClicked(int index);
    void ProfileDoubleClicked(int index);
    void SaveProfileClicked();
    void DeleteProfileClicked();
    void ChangeProfileFile();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void Tick(PermissionMask mask);
    bool ObtainProfileFile();
    void RebuildList();
    void UpdateCaption();

    UserInterface& ui_;
    std::array<QCheckBox*, kPermissionCount> boxes_{};
    QLineEdit* field_ = nullptr;
    QLineEdit* name_ = nullptr;
    QListWidget* list_ = nullptr;
    QTimer timer_;
    Target target_;
    std::string value_;
    std::string profilePath_;
    std::vector<PermissionProfile> profiles_;
    QString listHint_;
    bool commentOpen_ = false;
    FileChooser chooser_;
    TextAsker askName_;
    TextAsker editComment_;
};

}  // namespace kasa::gui
