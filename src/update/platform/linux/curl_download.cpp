#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <mutex>

#include "update/download.h"

namespace kasa {

namespace {

constexpr const char* kCanceled = "Canceled.";

struct Transfer {
    const DownloadRequest* request = nullptr;
    std::FILE* file = nullptr;
    std::string* content = nullptr;
    int64_t received = 0;
    bool tooLong = false;
};

size_t Write(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    transfer->received += static_cast<int64_t>(bytes);
    if (transfer->received > transfer->request->maxBytes) {
        transfer->tooLong = true;
        return 0;
    }
    if (transfer->file != nullptr) {
        return std::fwrite(data, 1, bytes, transfer->file);
    }
    transfer->content->append(data, bytes);
    return bytes;
}

int Progress(void* user, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t) {
    const auto* request = static_cast<Transfer*>(user)->request;
    if (request->abort != nullptr && request->abort->load()) {
        return 1;
    }
    if (request->progress) {
        request->progress(received, expected);
    }
    return 0;
}

class CurlDownloader : public Downloader {
  public:
    DownloadResult Fetch(const DownloadRequest& request) override {
        static std::once_flag initialised;
        std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
        DownloadResult result;
        Transfer transfer;
        transfer.request = &request;
        transfer.content = &result.content;
        if (!request.targetPath.empty()) {
            transfer.file = std::fopen(request.targetPath.c_str(), "wb");
            if (transfer.file == nullptr) {
                result.status = "Nie można utworzyć pliku " + request.targetPath + ".";
                return result;
            }
        }
        CURL* curl = curl_easy_init();
        CURLcode code = CURLE_FAILED_INIT;
        if (curl != nullptr) {
            curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
            // Only HTTPS, also after a redirection, so nothing arrives unencrypted.
            curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
            curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
            curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
            curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
            curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
            curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long{request.connectTimeoutMs});
            curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long{request.totalTimeoutMs});
            curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t{request.maxBytes});
            if (!request.caFile.empty()) {
                curl_easy_setopt(curl, CURLOPT_CAINFO, request.caFile.c_str());
            }
            curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Write);
            curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
            curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
            curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
            curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
            code = curl_easy_perform(curl);
            curl_easy_cleanup(curl);
        }
        bool written = true;
        if (transfer.file != nullptr) {
            written = std::fclose(transfer.file) == 0;
        }
        if (code == CURLE_ABORTED_BY_CALLBACK) {
            result.outcome = DownloadOutcome::kCanceled;
            result.status = kCanceled;
        } else if (code == CURLE_OK && written) {
            result.outcome = DownloadOutcome::kComplete;
            result.status = "OK";
        } else {
            result.status = transfer.tooLong ? "Plik jest za duży." : curl_easy_strerror(code);
        }
        if (result.outcome != DownloadOutcome::kComplete) {
            result.content.clear();
            if (!request.targetPath.empty()) {
                std::error_code ignored;
                std::filesystem::remove(request.targetPath, ignored);
            }
        }
        return result;
    }
};

}  // namespace

std::unique_ptr<Downloader> MakeNetworkDownloader() {
    return std::make_unique<CurlDownloader>();
}

}  // namespace kasa
