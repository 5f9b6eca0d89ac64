#include "gui/main/main_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kasa::gui {

namespace {

struct MenuItem {
    const char* caption;
    const char* objectName;
    const char* hint;
};
struct MenuContent {
    const char* caption;
    const char* objectName;
    const char* hint;
    std::vector<MenuItem> items;  // an item without caption is a separator
};

const MenuContent kMenus[] = {
    {"&Plik",
     "Plik1",
     nullptr,
     {{"&Ładuj wszystko z pliku", "Ladujwszystkozpliku1", nullptr},
      {"&Zachowaj wszystko do pliku", "Zachowajwszystkodopliku1", nullptr},
      {"Kopie przed &zapisem…", "Kopieprzedzapisem1",
       "Rekordy kasy zachowane przed każdym zapisem; można je przywrócić."},
      {nullptr, nullptr, nullptr},
      {"Odczyt &wszystkich danych z kasy", "Odczytwszystkichdanychzkasy1", nullptr},
      {"Odczyt &danych bez PLU", "OdczytdanychbezPLU1", nullptr},
      {nullptr, nullptr, nullptr},
      {"&Koniec", "Koniec1", nullptr}}},
    {"&Serwis",
     "Serwis1",
     nullptr,
     {{"&Start/Stop komunikacji", "StartStopkomunikacji1", nullptr},
      {"&Pobierz informacje kasowe", "Pobierzinformacjekasowe1", nullptr},
      {"&Odczyt Pamieci Fiskalnej", "OdczytPamieciFiskalnej1", nullptr},
      {"Odczy&t zegara", "Odczytzegara1", nullptr},
      {"Programuj ze&gar", "Programujzegar1", nullptr}}},
    {"&Konfiguracja",
     "Konfiguracja1",
     nullptr,
     {{"&Programu", "Programu1", nullptr},
      {"&Kasy", "Kasy1", nullptr},
      {"&Drukowania", "Drukowania1", nullptr}}},
    {"P&LU",
     "PLU1",
     "Dodatkowe funkcje operujące tylko na tabeli nazw towarów PLU.",
     {{"&Sprawdź unikalność nazwy", "Sprawdzunikalnoscnazwy1", "Sprawdzenie unikalności nazw."},
      {"Skróć &nazwy", "Skrocnazwy1", "Skraca nazwy towaru do podanej wartości."},
      {"&Mnożnik cen", "Mnoznikcen1", "Mnozy wszystkie ceny o podaną wartość."},
      {"Sortuj &A do Z", "SortujAdoZ1", "Sortowanie tabeli od A do Z według nazw towaru."},
      {"Sortuj &Z do A", "SortujZdoA1", "Sortowanie tabeli od Z do A według nazw towaru."},
      {"&Kompaktuj", "Kompaktuj1",
       "Dosunięcie wierszy z nazwami towaru tak, aby nie było pustych miejsc."},
      {"&Usuń znak + w kodach kreskowych", "Usunznakwkodachkreskowych1",
       "Usuwa ostatni znak + w kodzie kreskowym towaru."},
      {"&Weryfikacja sumy EAN13", "WeryfikacjasumyEAN131", nullptr},
      {"Ustaw sumę &EAN13", "UstawsumeEAN131", nullptr},
      {"Weryfikacja unikalności EA&N13", "WeryfikacjaunikalnosciEAN131", nullptr},
      {nullptr, nullptr, nullptr},
      {"&Drukuj tabelę PLU", "DrukujtabelePLU1", nullptr}}},
    {"&Dodatki",
     "Dodatki1",
     nullptr,
     {{"We&ryfikacja dokumentu", "Weryfikacjadokumentu1", nullptr},
      {"Podg&ląd trasmisji", "Podgladtrasmisji1",
       "Wywołanie okna podsłuchu transmisji. Cała transmisja do kasy jest wyświetlana w tym "
       "oknie."},
      {"&Porty szeregowe", "Portyszeregowe1", nullptr},
      {"Pamięć &fiskalna", "Pamiecfiskalna1", nullptr},
      {"&Kody błędów", "Kodybledow1", nullptr},
      {"&Wysyłanie plików", "Wysylanieplikow1", nullptr},
      {"Edytor &SEQ", "EdytorSEQ1", nullptr},
      {"Edytor &BIN", "EdytorBIN1", nullptr}}},
    {"P&omoc", "Pomoc1", nullptr, {{"&O programie", "Oprogramie1", nullptr}}},
};

}  // namespace

void BuildMainMenu(QMenuBar& bar, std::vector<QAction*>& items) {
    bar.setObjectName("MainMenu1");
    for (const MenuContent& content : kMenus) {
        QMenu* menu = bar.addMenu(QString::fromUtf8(content.caption));
        menu->setObjectName(content.objectName);
        menu->setToolTipsVisible(true);
        if (content.hint != nullptr) {
            menu->menuAction()->setToolTip(QString::fromUtf8(content.hint));
            menu->menuAction()->setStatusTip(QString::fromUtf8(content.hint));
        }
        for (const MenuItem& item : content.items) {
            if (item.caption == nullptr) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(item.objectName);
            if (item.hint != nullptr) {
                action->setToolTip(QString::fromUtf8(item.hint));
                action->setStatusTip(QString::fromUtf8(item.hint));
            }
            action->setEnabled(false);
            items.push_back(action);
        }
    }
}

}  // namespace kasa::gui
