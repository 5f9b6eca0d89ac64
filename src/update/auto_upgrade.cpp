#include "update/auto_upgrade.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace kasa {

namespace {

constexpr int64_t kMaxVersionFileBytes = 1024;
constexpr int64_t kMaxSignatureBytes = 1024;
constexpr int kProgressUnit = 1024;  // the bar counts kilobytes, so 2 GB fit an int

// A fresh file for the new program; empty when none can be made.
std::string NewDownloadFile(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path base = folder.empty() ? std::filesystem::temp_directory_path(error)
                                                      : std::filesystem::path(folder);
    std::string pattern = (base / "serwis-kas-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        return {};
    }
    ::close(fd);
    return pattern;
}

// A request for base + `suffix` with the source's connection settings.
DownloadRequest RequestFor(const UpgradeSource& source, const std::string& suffix, int64_t maxBytes,
                           const std::atomic<bool>& abort) {
    DownloadRequest request;
    request.url = source.baseAddress + suffix;
    request.maxBytes = maxBytes;
    request.connectTimeoutMs = source.connectTimeoutMs;
    request.caFile = source.caFile;
    request.abort = &abort;
    return request;
}

}  // namespace

std::string UpgradeQuestionText(ConnectionState connection) {
    std::string text = kUpgradeQuestion;
    if (connection == ConnectionState::kModem) {
        text += "\n";
        text += kUpgradeModemNote;
    }
    return text;
}

bool AutoUpgrade::Run(const UpgradeSource& source, const ProgramVersion& running,
                      ConnectionState connection, const std::atomic<bool>& abort) {
    if (ran_.exchange(true) || source.baseAddress.empty() ||
        connection == ConnectionState::kOffline) {
        return false;
    }
    DownloadRequest versionRequest =
        RequestFor(source, source.versionSuffix, kMaxVersionFileBytes, abort);
    versionRequest.totalTimeoutMs = source.versionTimeoutMs;
    const DownloadResult version = downloader_.Fetch(versionRequest);
    if (version.outcome != DownloadOutcome::kComplete || version.content.empty()) {
        return false;
    }
    const std::optional<ProgramVersion> published = ParseVersionFile(version.content);
    // With an unknown running version every published one would look newer.
    if (!published || running == kUnknownVersion || !IsNewerVersion(*published, running)) {
        return false;
    }
    if (ui_.Ask(kUpgradeTitle, UpgradeQuestionText(connection), Buttons::YesNo) != Answer::Yes) {
        return false;
    }
    bool canceled = false;
    const std::string program = DownloadProgram(source, abort, canceled);
    if (canceled) {
        return false;
    }
    if (program.empty() || !starter_(program)) {
        if (!program.empty()) {
            std::error_code ignored;
            std::filesystem::remove(program, ignored);
        }
        ui_.Message(kUpgradeTitle, kUpgradeFailed);
        return false;
    }
    return true;
}

std::string AutoUpgrade::DownloadProgram(const UpgradeSource& source,
                                         const std::atomic<bool>& abort, bool& canceled) {
    const std::string path = NewDownloadFile(source.downloadFolder);
    if (path.empty()) {
        return {};
    }
    DownloadRequest request =
        RequestFor(source, source.programSuffix, source.maxProgramBytes, abort);
    request.targetPath = path;
    request.progress = [this](int64_t received, int64_t expected) {
        if (expected > 0) {
            ui_.SetProgress(static_cast<int>(received / kProgressUnit),
                            static_cast<int>(expected / kProgressUnit));
        }
    };
    const DownloadResult program = downloader_.Fetch(request);
    ui_.SetProgress(0, 0);
    canceled = program.outcome == DownloadOutcome::kCanceled;
    bool verified = false;
    if (program.outcome == DownloadOutcome::kComplete) {
        DownloadRequest signatureRequest =
            RequestFor(source, source.signatureSuffix, kMaxSignatureBytes, abort);
        signatureRequest.totalTimeoutMs = source.versionTimeoutMs;
        const DownloadResult signature = downloader_.Fetch(signatureRequest);
        canceled = signature.outcome == DownloadOutcome::kCanceled;
        verified = signature.outcome == DownloadOutcome::kComplete &&
                   VerifyFileSignature(path, signature.content, source.publicKey);
    }
    if (!verified) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return {};
    }
    return path;
}

}  // namespace kasa
