// A loopback HTTPS server for the upgrade tests: Python's http.server behind a certificate
// made for 127.0.0.1 when the server starts. It serves the files of its folder, logs every
// path asked for, and for a program "cut*.run" promises more bytes than it sends. The same
// server without TLS stands for a plain HTTP server the program must not use.
// Also a listener that never answers, and Ed25519 signing.
#pragma once

#include <sys/types.h>

#include <array>
#include <string>
#include <vector>

#include "support/scratch_folder.h"
#include "update/signature.h"

namespace kasa::testing {

class HttpsTestServer {
  public:
    enum class Scheme { kHttps, kPlainHttp };
    explicit HttpsTestServer(Scheme scheme = Scheme::kHttps);
    ~HttpsTestServer();
    HttpsTestServer(const HttpsTestServer&) = delete;
    HttpsTestServer& operator=(const HttpsTestServer&) = delete;

    bool Running() const { return port_ > 0; }
    // "https://127.0.0.1:PORT/" + name ("http://" without TLS).
    std::string Address(const std::string& name) const;
    void Serve(const std::string& name, const std::string& content) const;
    // `name` answers with a redirection to `address`.
    void Redirect(const std::string& name, const std::string& address) const;
    // The certificate curl must trust.
    std::string CaFile() const { return folder_.Path("cert.pem"); }
    // The paths asked for so far, in order.
    std::vector<std::string> Requests() const;

  private:
    ScratchFolder folder_;
    bool plain_ = false;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A TCP port on 127.0.0.1 that takes connections and never says a word.
class SilentListener {
  public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    std::string Address(const std::string& name) const;

  private:
    int socket_ = -1;
    int port_ = 0;
};

struct SigningKeys {
    SigningPublicKey publicKey{};
    std::array<unsigned char, 64> secretKey{};
};
SigningKeys NewSigningKeys();
// The 64-byte detached signature of `content`.
std::string Sign(const SigningKeys& keys, const std::string& content);

// A program that writes "started" into `marker` when run.
std::string MarkerProgram(const std::string& marker);

}  // namespace kasa::testing
