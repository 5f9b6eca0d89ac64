// The main window: one tab page per table of the active register type with its grid,
// edit fields and buttons, the header page, the register's information and VAT rates,
// the communication button, the progress bar and the menu that opens every other window.
// Controls carry their names as objectName, so the binding code and the tests find them.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/main/font_setting.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;

namespace kasa::gui {

class EditPanel;
class GridKeyHandler;
class GridModel;
class TListingForm;
class QtUserInterface;
enum class RecordCommand;
class TOpisBledowForm;
class TUstawienieKasyForm;
class TUstawienieProgramuForm;

class TECRForm : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kHeaderLineEdits = 8;  // Line1..Line8
    static constexpr int kStartGuardMs = 2000;  // Timer2
    static constexpr int kClockTickMs = 1000;   // TClock

    explicit TECRForm(QWidget* parent = nullptr);
    ~TECRForm() override;

    // --- Tables ---
    // Builds every table page anew for the active model ("Vesper" while none is chosen),
    // with empty grids: titles, record numbers from minPLU for goods, and the header
    // lines the model has.
    void RebuildTables(int minPlu);
    const RegisterModel& Model() const { return *model_; }
    int MinPlu() const { return minPlu_; }
    // The grid of a table of the active model by table name ("PLU", "Kasjer", ...); null
    // for the header and VAT tables, which live in their edit controls.
    TextGrid* Grid(std::string_view tableName);
    GridModel* GridModelOf(std::string_view tableName);
    QTableView* GridView(std::string_view tableName);
    // Widths and heights after the texts changed (discounts and surcharges together).
    void LayOutGrid(std::string_view tableName);
    // The edit control `<table>_<editName>` below a grid, or of the header and VAT rates.
    QWidget* EditControl(std::string_view tableName, std::string_view editName) const;
    // Line edits shown on the header page: 8 on "Zen", 6 on "Vesper".
    int HeaderLineCount() const { return headerLines_; }

    // --- Editing ---
    // The keys of the grids, their undo, clipboard and filter hints.
    GridKeyHandler& GridKeys() const { return *gridKeys_; }
    // What the edit panels' register buttons do ("_pozycja_modyfikuj", "_pozycja_usun",
    // "_pozycja_odczyt"); without a handler they stay disabled.
    using RecordCommandHandler = std::function<void(RecordCommand, TableKind, int row)>;
    void SetRecordCommandHandler(RecordCommandHandler handler);
    const RecordCommandHandler& RecordCommands() const { return recordCommands_; }

    // --- Controls ---
    // A control by its name, compared without regard to case; null when none.
    QWidget* Control(const QString& objectName) const;
    template <typename T>
    T* ControlAs(const QString& objectName) const {
        return qobject_cast<T*>(Control(objectName));
    }
    // A menu item by its caption, "&" included ("&Koniec"); null when none.
    QAction* MenuAction(const QString& caption) const;
    QTabWidget* Tabs() const { return tabs_; }
    QWidget* InformationPage() const { return infoPage_; }
    QProgressBar* ProgressBar() const { return progress_; }
    QLabel* InfoLabel() const { return info_; }
    QPushButton* CommunicationButton() const { return commButton_; }
    QtUserInterface& Ui() const { return *ui_; }

    // Enables a menu item or a button and runs `handler` when it is used.
    void BindAction(const QString& caption, std::function<void()> handler);
    void BindButton(const QString& objectName, std::function<void()> handler);

    // "Start\nkomunikacji" in green, or "Stop\nkomunikacji" in red once started.
    void SetCommunicationStarted(bool started);
    bool CommunicationStarted() const { return communicationStarted_; }
    // The start guard: taken by a click, released by Timer2 two seconds after
    // ReleaseStartGuardLater, so a second click in that time is ignored.
    bool TryTakeStartGuard();
    void ReleaseStartGuardLater();
    bool StartGuardTaken() const { return startGuard_; }
    QTimer* StartGuardTimer() const { return timer2_; }
    // TClock: ticks every second once started, to run the shown clock on.
    QTimer* ClockTimer() const { return clockTimer_; }
    void ShowInformationPage();

    // "&Koniec": when this returns true a background job was running and has been asked
    // to stop, and the window stays open. Closing the window while a job runs asks it to
    // stop too, and the window closes once JobEnded tells it the job is over.
    void SetRunningJobStop(std::function<bool()> stopIfRunning) {
        stopIfRunning_ = std::move(stopIfRunning);
    }
    // A job with the register has ended: a close asked for while it ran happens now.
    void JobEnded();
    static constexpr const char* kClosingAfterJobText =
        "Przerywanie operacji z kasą; okno zamknie się po jej zakończeniu.";

    // --- Appearance ---
    // Info font on labels and status fields, Edit font on edit fields, the button font
    // on buttons, Table font on the grids, which are laid out again.
    void ApplyFonts(const FontSet& fonts);
    const FontSet& Fonts() const { return fonts_; }
    // The switches of the settings: hints, row-edit blocks and function buttons.
    void ApplyDisplaySwitches(const ProgramSettingsValues& values);
    // Hints in lime green after `pauseMs`, shown for `showMs`, or none at all; pages built
    // later get the same display time.
    void ApplyHints(bool shown, int pauseMs, int showMs);
    bool HintsShown() const { return hintsShown_; }

    // --- Tool windows, created once with the main window ---
    TUstawienieProgramuForm* ProgramSettingsWindow() const { return programSettings_; }
    TUstawienieKasyForm* RegisterSettingsWindow() const { return registerSettings_; }
    TOpisBledowForm* ErrorCodesWindow() const { return errorCodes_; }
    // The listings: validation messages, the fiscal memory and the compiler's messages.
    TListingForm* ListingWindow() const { return listing_; }
    TListingForm* FiscalListingWindow() const { return fiscalListing_; }
    TListingForm* CompileListingWindow() const { return compileListing_; }
    // Shows a tool window unless it is visible already; never a second one.
    static void ShowToolWindow(QWidget* window);

  signals:
    // The window is closing: save the settings and end the communication now.
    void aboutToClose();
    // The table pages were built anew (another register type): their buttons are new.
    void tablesRebuilt();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct TableSlot;

    void BuildMenu();
    void BuildCentral();
    QWidget* BuildInformationPage();
    QWidget* BuildHeaderPage();
    QWidget* BuildTablePage(const std::vector<TableKind>& kinds);
    QWidget* BuildTableBlock(TableSlot& slot, QWidget* page);
    QWidget* BuildEditPanel(const TableDescriptor& table, QWidget* parent);
    QWidget* BuildButtonPanel(TableKind kind, const TableDescriptor& table, QWidget* parent);
    void ShowHeaderLines();
    void ShowPanels();
    void Koniec();
    void ApplyFontsToPage(QWidget* page);
    void ApplyHintTime(QWidget* root) const;
    void RegisterTypeChosen(const QString& typeName);
    TableSlot* SlotOf(std::string_view tableName);

    const RegisterModel* model_ = nullptr;
    int minPlu_ = 1;
    int headerLines_ = 0;
    std::map<std::string, std::unique_ptr<TableSlot>, std::less<>> slots_;
    std::vector<QWidget*> tablePages_;
    FontSet fonts_;
    bool hintsShown_ = true;
    int hintShowMs_ = -1;  // the style's own time until ApplyHints
    bool editPanelsShown_ = true;
    bool buttonPanelsShown_ = true;
    bool communicationStarted_ = false;
    bool startGuard_ = false;
    std::function<bool()> stopIfRunning_;
    bool closeWhenIdle_ = false;
    GridKeyHandler* gridKeys_ = nullptr;
    RecordCommandHandler recordCommands_;

    QTabWidget* tabs_ = nullptr;
    QWidget* infoPage_ = nullptr;
    QWidget* headerPage_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* info_ = nullptr;
    QPushButton* commButton_ = nullptr;
    QTimer* timer2_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    std::vector<QAction*> actions_;
    QtUserInterface* ui_ = nullptr;
    TUstawienieProgramuForm* programSettings_ = nullptr;
    TUstawienieKasyForm* registerSettings_ = nullptr;
    TOpisBledowForm* errorCodes_ = nullptr;
    TListingForm* listing_ = nullptr;
    TListingForm* fiscalListing_ = nullptr;
    TListingForm* compileListing_ = nullptr;
};

}  // namespace kasa::gui
