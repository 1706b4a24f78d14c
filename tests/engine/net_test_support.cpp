// SPDX-License-Identifier: GPL-3.0-or-later
#include "net_test_support.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace brisklo::test {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Test requests must never leave the machine through a proxy the environment names.
[[maybe_unused]] const bool kProxiesOff = [] {
    ::setenv("no_proxy", "*", 1);
    ::setenv("NO_PROXY", "*", 1);
    return true;
}();

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test PKI: ") + what);
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    Check(extension != nullptr, "extension");
    X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
}

// A P-256 key and a certificate for it. Without an issuer the certificate is a
// self-signed authority; otherwise a server certificate for subjectAltName.
TlsIdentity MakeIdentity(const char* commonName, const TlsIdentity* issuer,
                         const char* subjectAltName, long serial) {
    TlsIdentity identity;
    identity.key.reset(EVP_EC_gen("P-256"));
    Check(identity.key != nullptr, "key");
    identity.certificate.reset(X509_new());
    X509* cert = identity.certificate.get();
    Check(cert != nullptr, "certificate");
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_set_pubkey(cert, identity.key.get());
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509* issuerCert = issuer ? issuer->certificate.get() : cert;
    X509_set_issuer_name(cert, X509_get_subject_name(issuerCert));
    AddExtension(cert, issuerCert, NID_subject_key_identifier, "hash");
    if (issuer) {
        AddExtension(cert, issuerCert, NID_authority_key_identifier, "keyid:always");
        AddExtension(cert, issuerCert, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(cert, issuerCert, NID_key_usage, "critical,digitalSignature");
        AddExtension(cert, issuerCert, NID_ext_key_usage, "serverAuth");
        AddExtension(cert, issuerCert, NID_subject_alt_name, subjectAltName);
    } else {
        AddExtension(cert, issuerCert, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(cert, issuerCert, NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    EVP_PKEY* signer = issuer ? issuer->key.get() : identity.key.get();
    Check(X509_sign(cert, signer, EVP_sha256()) > 0, "signature");
    return identity;
}

void WritePem(const fs::path& path, X509* cert) {
    BIO* file = BIO_new_file(path.c_str(), "w");
    Check(file != nullptr, "PEM file");
    const int ok = PEM_write_bio_X509(file, cert);
    BIO_free(file);
    Check(ok == 1, "PEM write");
}

int BoundSocket(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::system_error(errno, std::generic_category(), "bind");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

const TestPki& TestPki::Get() {
    static const TestPki pki;
    return pki;
}

TestPki::TestPki() {
    std::string pattern = (fs::temp_directory_path() / "brisklo-pki-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr, "folder");
    m_folder = pattern;
    m_authority = MakeIdentity("Brisklo Test Authority", nullptr, nullptr, 1);
    m_stranger = MakeIdentity("Unrelated Test Authority", nullptr, nullptr, 2);
    m_loopback = MakeIdentity("127.0.0.1", &m_authority, "IP:127.0.0.1,DNS:localhost", 3);
    m_wrongName = MakeIdentity("other.example", &m_authority, "DNS:other.example", 4);
    m_caFile = m_folder / "ca.pem";
    m_strangerCaFile = m_folder / "stranger-ca.pem";
    WritePem(m_caFile, m_authority.certificate.get());
    WritePem(m_strangerCaFile, m_stranger.certificate.get());
}

TestPki::~TestPki() {
    std::error_code error;
    fs::remove_all(m_folder, error);
}

LoopbackServer::LoopbackServer() : m_server(std::make_unique<httplib::Server>()) {}

LoopbackServer::LoopbackServer(const TlsIdentity& identity)
    : m_server(
          std::make_unique<httplib::SSLServer>(identity.certificate.get(), identity.key.get())),
      m_tls(true) {
    if (!m_server->is_valid()) throw std::runtime_error("TLS server could not be set up");
}

LoopbackServer::~LoopbackServer() {
    m_server->stop();
    if (m_thread.joinable()) m_thread.join();
}

void LoopbackServer::Start() {
    m_server->set_keep_alive_timeout(1);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0) throw std::runtime_error("no port for the loopback server");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() only works once the accept loop runs.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!m_server->is_running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("loopback server did not start");
        }
        std::this_thread::sleep_for(1ms);
    }
}

std::string LoopbackServer::Url(std::string_view path) const {
    return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port) +
           std::string(path);
}

RawRequestCapture::RawRequestCapture(std::string reply) : m_reply(std::move(reply)) {
    m_listener = BoundSocket(m_port);
    ::listen(m_listener, 1);
    m_thread = std::thread([this] { Serve(); });
}

RawRequestCapture::~RawRequestCapture() {
    if (m_thread.joinable()) m_thread.join();
    ::close(m_listener);
}

std::string RawRequestCapture::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::string RawRequestCapture::Request() {
    if (m_thread.joinable()) m_thread.join();
    return m_request;
}

void RawRequestCapture::Serve() {
    pollfd waiting{m_listener, POLLIN, 0};
    if (::poll(&waiting, 1, 3000) <= 0) return;
    const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return;
    // Read the head, then as many body bytes as Content-Length says.
    std::string received;
    std::size_t wanted = std::string::npos;
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (received.size() < wanted && std::chrono::steady_clock::now() < deadline) {
        pollfd readable{connection, POLLIN, 0};
        if (::poll(&readable, 1, 100) <= 0) continue;
        char chunk[4096];
        const ssize_t n = ::read(connection, chunk, sizeof chunk);
        if (n <= 0) break;
        received.append(chunk, static_cast<std::size_t>(n));
        const std::size_t headEnd = received.find("\r\n\r\n");
        if (wanted == std::string::npos && headEnd != std::string::npos) {
            std::size_t length = 0;
            const std::size_t field = received.find("Content-Length: ");
            if (field != std::string::npos && field < headEnd) {
                length = std::stoul(received.substr(field + 16));
            }
            wanted = headEnd + 4 + length;
        }
    }
    m_request = received;
    const std::string response =
        "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
        "Content-Length: " +
        std::to_string(m_reply.size()) + "\r\nConnection: close\r\n\r\n" + m_reply;
    [[maybe_unused]] const ssize_t sent = ::write(connection, response.data(), response.size());
    ::close(connection);
}

int ClosedPort() {
    int port = 0;
    ::close(BoundSocket(port));
    return port;
}

SilentListener::SilentListener() {
    m_fd = BoundSocket(m_port);
    ::listen(m_fd, 4);
}

SilentListener::~SilentListener() { ::close(m_fd); }

}  // namespace brisklo::test
