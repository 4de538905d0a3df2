// https keeps every certificate check: a server whose certificate no trusted authority
// signed is refused before any request reaches it.
#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "net/download_fixture.h"

namespace miaohui::test {
namespace {

template <auto free_function>
struct Freer {
  template <typename T>
  void operator()(T* p) const { free_function(p); }
};
using KeyHandle = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY_free>>;
using CertHandle = std::unique_ptr<X509, Freer<X509_free>>;
using ContextHandle = std::unique_ptr<SSL_CTX, Freer<SSL_CTX_free>>;
using SessionHandle = std::unique_ptr<SSL, Freer<SSL_free>>;
using BioHandle = std::unique_ptr<BIO, Freer<BIO_free>>;
using ExtensionHandle = std::unique_ptr<X509_EXTENSION, Freer<X509_EXTENSION_free>>;

// A certificate for 127.0.0.1 that signs itself: valid in every respect but trust.
CertHandle self_signed_certificate(EVP_PKEY* key) {
  CertHandle cert(X509_new());
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 86400);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  for (auto [nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"}, {NID_basic_constraints, "critical,CA:TRUE"}}) {
    ExtensionHandle extension(X509V3_EXT_conf_nid(nullptr, nullptr, nid, value));
    X509_add_ext(cert.get(), extension.get(), -1);
  }
  if (X509_sign(cert.get(), key, EVP_sha256()) == 0) throw std::runtime_error("cannot sign the certificate");
  return cert;
}

// Serves "HTTP/1.0 200 OK" with the body "secret" over TLS, one connection at a time,
// counting the handshakes and requests that get through.
class TlsServer {
 public:
  TlsServer() : key_(EVP_EC_gen("P-256")), context_(SSL_CTX_new(TLS_server_method())) {
    if (!key_ || !context_) throw std::runtime_error("cannot set up TLS");
    cert_ = self_signed_certificate(key_.get());
    SSL_CTX_use_certificate(context_.get(), cert_.get());
    SSL_CTX_use_PrivateKey(context_.get(), key_.get());
    listener_ = listen_on_loopback(port_);
    thread_ = std::thread([this] { serve(); });
  }
  ~TlsServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
  }
  TlsServer(const TlsServer&) = delete;
  TlsServer& operator=(const TlsServer&) = delete;

  std::string url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/secret"; }
  std::string certificate_pem() const {
    BioHandle bio(BIO_new(BIO_s_mem()));
    PEM_write_bio_X509(bio.get(), cert_.get());
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
  }
  int handshakes() const { return handshakes_; }
  int requests() const { return requests_; }

 private:
  void serve() {
    while (!stopping_) {
      pollfd entry{listener_, POLLIN, 0};
      if (::poll(&entry, 1, 50) <= 0) continue;
      const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      timeval limit{5, 0};  // a broken client must not hold the server
      ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
      SessionHandle session(SSL_new(context_.get()));
      SSL_set_fd(session.get(), client);
      if (SSL_accept(session.get()) == 1) {
        ++handshakes_;
        std::string request;
        char chunk[1024];
        int got = 0;
        while (request.find("\r\n\r\n") == std::string::npos && (got = SSL_read(session.get(), chunk, sizeof chunk)) > 0) {
          request.append(chunk, static_cast<std::size_t>(got));
        }
        if (!request.empty()) ++requests_;
        const std::string reply = response_with_length("HTTP/1.0 200 OK", "secret");
        SSL_write(session.get(), reply.data(), static_cast<int>(reply.size()));
        SSL_shutdown(session.get());
      }
      ERR_clear_error();
      ::close(client);
    }
  }

  KeyHandle key_;
  ContextHandle context_;
  CertHandle cert_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> handshakes_{0};
  std::atomic<int> requests_{0};
  std::thread thread_;
};

using TlsTest = DownloadTest;

TEST_F(TlsTest, UntrustedCertificateIsRefusedBeforeTheRequest) {
  TlsServer server;
  EXPECT_TRUE(http_download(server.url()).empty());
  EXPECT_EQ(server.requests(), 0);
  EXPECT_EQ(server.handshakes(), 0);

  // The same server answers a client that trusts its certificate, so the refusal above is
  // the certificate check and not a broken server.
  curl_global_init(CURL_GLOBAL_DEFAULT);
  std::unique_ptr<CURL, Freer<curl_easy_cleanup>> easy(curl_easy_init());
  std::string pem = server.certificate_pem();
  curl_blob trusted{pem.data(), pem.size(), CURL_BLOB_COPY};
  std::string body;
  auto collect = +[](char* data, std::size_t size, std::size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
  };
  curl_easy_setopt(easy.get(), CURLOPT_URL, server.url().c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CAINFO_BLOB, &trusted);
  curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
  EXPECT_EQ(curl_easy_perform(easy.get()), CURLE_OK);
  EXPECT_EQ(body, "secret");
  EXPECT_EQ(server.requests(), 1);
  easy.reset();
  curl_global_cleanup();
}

}  // namespace
}  // namespace miaohui::test
