#include "app/table_file_dialog.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "base/file_path.h"
#include "tables/xlsx_workbook.h"

namespace kasa {

namespace {

struct KindInfo {
    TableFileKind kind;
    const char* filter;
    const char* extension;
    std::string Settings::*lastFile;
};

constexpr std::array<KindInfo, 4> kKinds = {{
    {TableFileKind::kPod, kPodFileFilter, ".pod", &Settings::PodFile},
    {TableFileKind::kCsv, kCsvFileFilter, ".csv", &Settings::CsvFile},
    {TableFileKind::kTxt, kTxtFileFilter, ".txt", &Settings::TxtFile},
    {TableFileKind::kXlsx, kXlsxFileFilter, ".xlsx", &Settings::XlsxFile},
}};

bool Offered(const KindInfo& info, bool allKinds) {
    if (info.kind == TableFileKind::kXlsx && !WorkbooksSupported()) {
        return false;
    }
    return allKinds || info.kind == TableFileKind::kPod;
}

// Anything but a known kind stands for .pod.
const KindInfo& InfoOf(TableFileKind kind) {
    for (const KindInfo& info : kKinds) {
        if (info.kind == kind) {
            return info;
        }
    }
    return kKinds[0];
}

const KindInfo* InfoOfFilter(const std::string& filter) {
    for (const KindInfo& info : kKinds) {
        if (filter == info.filter) {
            return &info;
        }
    }
    return nullptr;
}

}  // namespace

TableFileOffer OfferTableFile(const Settings& settings, bool allKinds) {
    const KindInfo& last = InfoOf(TableFileKindOfExtension(settings.ExtLast));
    const KindInfo& start = Offered(last, allKinds) ? last : InfoOf(TableFileKind::kPod);
    TableFileOffer offer;
    for (const KindInfo& info : kKinds) {
        if (Offered(info, allKinds)) {
            offer.filters.emplace_back(info.filter);
        }
    }
    offer.selectedFilter = start.filter;
    offer.startPath = settings.*start.lastFile;
    return offer;
}

std::string ChooseTableFile(Settings& settings, const TableFileOffer& offer, std::string path,
                            const std::string& selectedFilter, bool opening) {
    if (path.empty()) {
        return path;
    }
    const KindInfo* chosen = InfoOfFilter(selectedFilter);
    if (chosen == nullptr || std::find(offer.filters.begin(), offer.filters.end(),
                                       selectedFilter) == offer.filters.end()) {
        chosen = InfoOfFilter(offer.selectedFilter);
    }
    std::error_code error;
    const bool existing = opening && std::filesystem::is_regular_file(PathFromUtf8(path), error);
    // A name that already ends in an offered kind's extension keeps it: the user chose that
    // kind by typing it, whatever the filter shows.
    const TableFileKind named = TableFileKindOfPath(path);
    const bool namedOffered =
        named != TableFileKind::kUnknown && std::find(offer.filters.begin(), offer.filters.end(),
                                                      InfoOf(named).filter) != offer.filters.end();
    if (!namedOffered && !existing) {
        path += chosen->extension;
    }
    const KindInfo& remembered = TableFileKindOfPath(path) == TableFileKind::kUnknown
                                     ? *chosen
                                     : InfoOf(TableFileKindOfPath(path));
    settings.*remembered.lastFile = path;
    settings.ExtLast = TableFileKindName(remembered.kind);
    return path;
}

std::string OverwriteQuestion(const std::string& path) {
    return "Plik " + path + " już istnieje.\n" + kOverwriteQuestionEnd;
}

}  // namespace kasa
