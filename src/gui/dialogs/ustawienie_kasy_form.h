// The register settings window "Ustawienia Kasy": five lists of the register's working
// options and the button that sends them.
#pragma once

#include <QWidget>
#include <array>

class QComboBox;
class QPushButton;

namespace kasa::gui {

class TUstawienieKasyForm : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kListCount = 5;
    // The lists, in window order.
    enum List : int {
        kErrorMode = 0,    // "Tryb obsługi błędów"
        kPrintQuality,     // "Jakość wydruku"
        kWorkMode,         // "Tryb pracy"
        kAmountEntry,      // "Tryb wprowadzania kwot"
        kAfterTransaction  // "Po transakcji"
    };

    explicit TUstawienieKasyForm(QWidget* parent = nullptr);

    // The selected item of each list, counted from 0.
    int SelectedIndex(List list) const;
    std::array<int, kListCount> SelectedIndexes() const;
    QComboBox* ListBox(List list) const { return lists_[static_cast<size_t>(list)]; }
    QPushButton* SendButton() const { return send_; }
    QPushButton* ExitButton() const { return exit_; }

  signals:
    // "Wyślij do kasy" was pressed.
    void sendRequested();

  private:
    std::array<QComboBox*, kListCount> lists_{};
    QPushButton* send_ = nullptr;
    QPushButton* exit_ = nullptr;
};

}  // namespace kasa::gui
