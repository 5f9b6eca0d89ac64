// The rules of the table file dialogs: which kinds a table offers, where the dialog starts,
// which extension a chosen name gets, and which last file and kind the settings keep.
// The window asks with its own dialog; `kasa` and the tests use the same rules.
#pragma once

#include <string>
#include <vector>

#include "app/settings.h"
#include "tables/table_file_kind.h"

namespace kasa {

// The dialog filters.
inline constexpr const char* kPodFileFilter = "Pliki konfiguracyjne(*.pod)";
inline constexpr const char* kCsvFileFilter = "Pliki Excel (*.csv)";
inline constexpr const char* kTxtFileFilter = "Pliki tekstowe (*.txt)";
inline constexpr const char* kXlsxFileFilter = "Skoroszyt Excel (*.xlsx)";

// Dialog captions.
inline constexpr const char* kSaveTableCaption = "Zapisz Bazę do pliku";
inline constexpr const char* kLoadTableCaption = "Odczytaj Bazę z pliku";
inline constexpr const char* kSaveAllCaption = "Zapis z pliku całościowy.";
inline constexpr const char* kLoadAllCaption = "Odczyt z pliku całościowy.";

// What a table file dialog offers: a grid table every kind, the header .pod only, and
// workbooks only where they are supported; it starts at the last file of the last kind
// used (.pod when that kind is not offered).
struct TableFileOffer {
    std::vector<std::string> filters;
    std::string selectedFilter;
    std::string startPath;
};
TableFileOffer OfferTableFile(const Settings& settings, bool allKinds);

// The file to use for a dialog's answer, or empty when it was cancelled. The name gets the
// extension of the selected filter (the offered start kind when the filter is not one of
// the offer) unless it ends in the extension of an offered kind (then that kind is used:
// "x.txt" under the CSV filter is a text file), or unless an existing file is being opened:
// another name would read nothing. The file is remembered as the last of the kind its extension
// names, else of the filter's kind, and that kind as `ExtLast`.
std::string ChooseTableFile(Settings& settings, const TableFileOffer& offer, std::string path,
                            const std::string& selectedFilter, bool opening);

// Asked before a save replaces a file; it names the file the save will write, extension and
// all.
inline constexpr const char* kOverwriteQuestionEnd = "Czy zastąpić go?";
std::string OverwriteQuestion(const std::string& path);

}  // namespace kasa
