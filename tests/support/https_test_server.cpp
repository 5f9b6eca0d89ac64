#include "support/https_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sodium.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace kasa::testing {

namespace {

constexpr const char* kServerScript = R"(import http.server, os, ssl, sys
root, log, scheme = sys.argv[1], sys.argv[2], sys.argv[3]
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(log, "a") as f:
            f.write(self.path + "\n")
        name = os.path.basename(self.path)
        path = os.path.join(root, "files", name)
        if os.path.isfile(path + ".moved"):
            self.send_response(302)
            self.send_header("Location", open(path + ".moved").read())
            self.send_header("Content-Length", "0")
            self.end_headers()
            self.close_connection = True
            return
        if not os.path.isfile(path):
            self.send_error(404)
            return
        data = open(path, "rb").read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(data) * (4 if name.startswith("cut") and name.endswith(".run") else 1)))
        self.end_headers()
        self.wfile.write(data)
        self.close_connection = True
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
if scheme == "https":
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(root, "cert.pem"), os.path.join(root, "key.pem"))
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
)";

std::string LocalAddress(int port, const std::string& name, bool plain = false) {
    return (plain ? "http" : "https") + std::string("://127.0.0.1:") + std::to_string(port) + "/" +
           name;
}

}  // namespace

HttpsTestServer::HttpsTestServer(Scheme scheme) : plain_(scheme == Scheme::kPlainHttp) {
    folder_.Write("server.py", kServerScript);
    std::filesystem::create_directory(folder_.Path("files"));
    const std::string makeCertificate =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 "
        "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
        folder_.Path("key.pem") + "' -out '" + folder_.Path("cert.pem") + "' 2>/dev/null";
    if (std::system(makeCertificate.c_str()) != 0) {
        return;
    }
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const std::string script = folder_.Path("server.py");
    const std::string root = folder_.Path("");
    const std::string log = folder_.Path("requests.log");
    char* const arguments[] = {const_cast<char*>("python3"),
                               const_cast<char*>(script.c_str()),
                               const_cast<char*>(root.c_str()),
                               const_cast<char*>(log.c_str()),
                               const_cast<char*>(plain_ ? "http" : "https"),
                               nullptr};
    if (posix_spawnp(&pid_, "python3", &actions, nullptr, arguments, environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::FILE* out = fdopen(pipeEnds[0], "r");
    if (out != nullptr && std::fscanf(out, "%d", &port_) != 1) {
        port_ = 0;
    }
    if (out != nullptr) {
        std::fclose(out);
    }
}

HttpsTestServer::~HttpsTestServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

std::string HttpsTestServer::Address(const std::string& name) const {
    return LocalAddress(port_, name, plain_);
}

void HttpsTestServer::Serve(const std::string& name, const std::string& content) const {
    folder_.Write("files/" + name, content);
}

void HttpsTestServer::Redirect(const std::string& name, const std::string& address) const {
    folder_.Write("files/" + name + ".moved", address);
}

std::vector<std::string> HttpsTestServer::Requests() const {
    std::vector<std::string> paths;
    std::istringstream log(folder_.Read("requests.log"));
    for (std::string line; std::getline(log, line);) {
        paths.push_back(line);
    }
    return paths;
}

SilentListener::SilentListener() {
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket_ >= 0 && bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        listen(socket_, 4) == 0 &&
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port_ = ntohs(address.sin_port);
    }
}

SilentListener::~SilentListener() {
    if (socket_ >= 0) {
        close(socket_);
    }
}

std::string SilentListener::Address(const std::string& name) const {
    return LocalAddress(port_, name);
}

SigningKeys NewSigningKeys() {
    SigningKeys keys;
    if (sodium_init() >= 0) {
        crypto_sign_keypair(keys.publicKey.data(), keys.secretKey.data());
    }
    return keys;
}

std::string Sign(const SigningKeys& keys, const std::string& content) {
    std::string signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(content.data()), content.size(),
                         keys.secretKey.data());
    return signature;
}

std::string MarkerProgram(const std::string& marker) {
    return "#!/bin/sh\necho started > '" + marker + "'\n";
}

}  // namespace kasa::testing
