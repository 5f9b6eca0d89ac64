// Fetching a file from the maker's server: the interface the upgrade check uses, so that
// the network layer stays behind it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kasa {

struct DownloadRequest {
    std::string url;
    // Where the content goes: a file written here, or, when empty, the `content` of the
    // result.
    std::string targetPath;
    int64_t maxBytes = 1024;  // more than this fails the download
    int connectTimeoutMs = 5000;
    int totalTimeoutMs = 0;  // 0: no limit on the whole transfer
    std::string caFile;      // trusted certificates instead of the system's; empty: system
    // Bytes received and expected (0 while unknown), reported as they arrive.
    std::function<void(int64_t received, int64_t expected)> progress;
    // Set from another thread to stop the transfer.
    const std::atomic<bool>* abort = nullptr;
};

enum class DownloadOutcome { kComplete, kFailed, kCanceled };

struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::kFailed;
    std::string content;  // when no target path was given
    std::string status;   // what ended the transfer, for the log
};

class Downloader {
  public:
    virtual ~Downloader() = default;
    virtual DownloadResult Fetch(const DownloadRequest& request) = 0;
};

// The network's downloader: HTTPS only.
std::unique_ptr<Downloader> MakeNetworkDownloader();

}  // namespace kasa
