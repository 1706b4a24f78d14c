// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace httplib {
class Server;
}

namespace brisklo::test {

// Time limits for requests to the loopback servers that are meant to succeed (or to
// be refused at once). A local server answers in milliseconds, but on a loaded
// machine or under the sanitizers a TLS handshake can take seconds; tests never
// rely on these running out.
inline constexpr std::chrono::seconds kLoopbackTimeout{30};
inline constexpr std::chrono::seconds kLoopbackConnectTimeout{10};

struct X509Deleter {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

// A certificate and its key, as a TLS server presents them.
struct TlsIdentity {
    std::unique_ptr<X509, X509Deleter> certificate;
    std::unique_ptr<EVP_PKEY, KeyDeleter> key;
};

// A throw-away certificate authority made when the tests first need it, with
// server certificates it signed. Nothing is read from or kept outside the test's
// temporary folder.
class TestPki {
  public:
    static const TestPki& Get();

    // PEM file of the test authority, to hand to the client.
    const std::filesystem::path& caFile() const { return m_caFile; }
    // PEM file of another authority that signed nothing the servers present.
    const std::filesystem::path& strangerCaFile() const { return m_strangerCaFile; }
    // Certificate for 127.0.0.1 and localhost.
    const TlsIdentity& loopback() const { return m_loopback; }
    // Certificate signed by the test authority for another host name only.
    const TlsIdentity& wrongName() const { return m_wrongName; }

    TestPki();
    ~TestPki();

  private:
    std::filesystem::path m_folder;
    std::filesystem::path m_caFile;
    std::filesystem::path m_strangerCaFile;
    TlsIdentity m_authority;
    TlsIdentity m_stranger;
    TlsIdentity m_loopback;
    TlsIdentity m_wrongName;
};

// A cpp-httplib server on 127.0.0.1 at a free port. Add routes through server(),
// then Start(); the destructor stops it and joins its thread.
class LoopbackServer {
  public:
    // Plain HTTP.
    LoopbackServer();
    // HTTPS presenting identity (which must outlive the server).
    explicit LoopbackServer(const TlsIdentity& identity);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& server() { return *m_server; }
    void Start();
    // "http(s)://127.0.0.1:<port>" followed by path.
    std::string Url(std::string_view path = {}) const;
    int port() const { return m_port; }

  private:
    std::unique_ptr<httplib::Server> m_server;
    bool m_tls = false;
    int m_port = 0;
    std::thread m_thread;
};

// Accepts one plain HTTP request on 127.0.0.1, keeps its bytes exactly as they
// arrived, and answers it with a fixed reply.
class RawRequestCapture {
  public:
    explicit RawRequestCapture(std::string reply);
    ~RawRequestCapture();
    std::string Url(std::string_view path) const;
    // The request as received; waits for the serving thread to finish.
    std::string Request();

  private:
    void Serve();
    int m_listener = -1;
    int m_port = 0;
    std::string m_reply;
    std::string m_request;
    std::thread m_thread;
};

// A port on 127.0.0.1 that nothing listens on: connecting is refused.
int ClosedPort();

// A socket on 127.0.0.1 that listens but never accepts or answers: the kernel
// completes the connection, then nothing comes.
class SilentListener {
  public:
    SilentListener();
    ~SilentListener();
    int port() const { return m_port; }

  private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace brisklo::test
