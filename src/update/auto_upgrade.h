// The check for a newer published version at the program's start: it asks whether to
// upgrade, downloads the new program with progress, verifies its signature and starts it.
#pragma once

#include <atomic>
#include <string>

#include "base/user_interface.h"
#include "update/download.h"
#include "update/program_start.h"
#include "update/program_version.h"
#include "update/signature.h"

namespace kasa {

inline constexpr const char* kUpgradeTitle = "Informacja o nowej wersji programu.";
inline constexpr const char* kUpgradeQuestion =
    "Znaleziono nowszą wersję programu.\nAktualizować oprogramowanie?";
inline constexpr const char* kUpgradeModemNote =
    "Połączenie jest przez linie modemowe.\nPlik ma około 3MB. Ładowanie może być długie.";
inline constexpr const char* kUpgradeFailed =
    "Nie można wczytać programu.\nOperacja nie może, być wykonana.";

// Where the published files lie and how long the check may wait for them.
struct UpgradeSource {
    // The address the suffixes are appended to; empty: no check at all.
    std::string baseAddress;
    std::string versionSuffix = ".txt";
    std::string programSuffix = ".run";
    std::string signatureSuffix = ".sig";
    SigningPublicKey publicKey{};
    int connectTimeoutMs = 5000;
    int versionTimeoutMs = 15000;
    int64_t maxProgramBytes = int64_t{512} << 20;
    std::string downloadFolder;  // empty: the system's temporary folder
    std::string caFile;          // trusted certificates; empty: the system's
};

// The source this build was made with.
UpgradeSource BuiltInUpgradeSource();

// The question, with the modem note when the connection is through a modem.
std::string UpgradeQuestionText(ConnectionState connection);

// Runs at most once per object; the program keeps one for its whole run.
class AutoUpgrade {
  public:
    // `starter` starts the verified program; the platform's by default.
    using Starter = bool (*)(const std::string& path);

    AutoUpgrade(Downloader& downloader, UserInterface& ui, Starter starter = StartDetachedProgram)
        : downloader_(downloader), ui_(ui), starter_(starter) {}

    // True only when a newer, verified program was started; the caller then ends.
    bool Run(const UpgradeSource& source, const ProgramVersion& running, ConnectionState connection,
             const std::atomic<bool>& abort);

  private:
    std::string DownloadProgram(const UpgradeSource& source, const std::atomic<bool>& abort,
                                bool& canceled);

    Downloader& downloader_;
    UserInterface& ui_;
    Starter starter_;
    std::atomic<bool> ran_{false};
};

}  // namespace kasa
