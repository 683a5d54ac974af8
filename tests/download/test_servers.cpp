#include "test_servers.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>

namespace vellumark::testing {
namespace {

int ListenOnLoopback(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(fd, 64);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return fd;
}

std::string PathOf(const std::string& request) {
  const std::size_t start = request.find(' ');
  if (start == std::string::npos) return "";
  const std::size_t end = request.find_first_of(" ?", start + 1);
  return request.substr(start + 1, end - start - 1);
}

std::string PemOf(int (*write)(BIO*, void*), void* object) {
  BIO* bio = BIO_new(BIO_s_mem());
  write(bio, object);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<std::size_t>(size));
  BIO_free(bio);
  return pem;
}

int WriteCertificate(BIO* bio, void* cert) {
  return PEM_write_bio_X509(bio, static_cast<X509*>(cert));
}
int WriteKey(BIO* bio, void* key) {
  return PEM_write_bio_PrivateKey(bio, static_cast<EVP_PKEY*>(key), nullptr,
                                  nullptr, 0, nullptr, nullptr);
}

void AddExtension(X509* cert, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* extension =
      X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  X509_add_ext(cert, extension, -1);
  X509_EXTENSION_free(extension);
}

X509* CertificateFromPem(const std::string& pem) {
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  return cert;
}

EVP_PKEY* KeyFromPem(const std::string& pem) {
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  EVP_PKEY* key = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  return key;
}

}  // namespace

RawServer::RawServer() {
  listener_ = ListenOnLoopback(&port_);
  thread_ = std::thread(&RawServer::Serve, this);
}

RawServer::~RawServer() { Stop(); }

void RawServer::Answer(const std::string& path, Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  replies_[path] = std::move(reply);
}

std::string RawServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> RawServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void RawServer::Stop() {
  if (stopping_.exchange(true)) return;
  if (thread_.joinable()) thread_.join();
  for (std::thread& connection : connections_) connection.join();
  close(listener_);
}

void RawServer::Serve() {
  while (!stopping_.load()) {
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, 20) <= 0) continue;
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection >= 0) {
      connections_.emplace_back(&RawServer::Handle, this, connection);
    }
  }
}

// Answers the requests of one connection in turn. A reply that holds the
// connection open leaves it waiting for the next request (keep-alive, or a
// stall when none comes) until the server stops.
void RawServer::Handle(int connection) {
  std::string pending;
  char buffer[4096];
  while (!stopping_.load()) {
    const std::size_t end = pending.find("\r\n\r\n");
    if (end == std::string::npos) {
      pollfd readable{connection, POLLIN, 0};
      if (poll(&readable, 1, 20) <= 0) continue;
      const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      pending.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    const std::string request = pending.substr(0, end + 4);
    pending.erase(0, end + 4);
    Reply reply{"HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found",
                false};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
      auto found = replies_.find(PathOf(request));
      if (found != replies_.end()) reply = found->second;
    }
    send(connection, reply.bytes.data(), reply.bytes.size(), MSG_NOSIGNAL);
    if (!reply.hold_open) break;
  }
  close(connection);
}

int ClosedPort() {
  int port = 0;
  const int fd = ListenOnLoopback(&port);
  close(fd);
  return port;
}

FullListener::FullListener() {
  listener_ = ListenOnLoopback(&port_);
  listen(listener_, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port_));
  for (int i = 0; i < 4; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers_.push_back(fd);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

FullListener::~FullListener() {
  for (int fd : fillers_) close(fd);
  close(listener_);
}

TestCertificate MakeSelfSignedCertificate() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert), -60);
  X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(
      name, "CN", MBSTRING_ASC,
      reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(cert, name);
  AddExtension(cert, NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(cert, NID_subject_alt_name, "IP:127.0.0.1");
  X509_sign(cert, key, EVP_sha256());
  TestCertificate result{PemOf(&WriteCertificate, cert), PemOf(&WriteKey, key)};
  X509_free(cert);
  EVP_PKEY_free(key);
  return result;
}

HttpServer::HttpServer(const TestCertificate* tls) {
  if (tls != nullptr) {
    X509* cert = CertificateFromPem(tls->certificate_pem);
    EVP_PKEY* key = KeyFromPem(tls->key_pem);
    server_ = std::make_unique<httplib::SSLServer>(cert, key);
    X509_free(cert);
    EVP_PKEY_free(key);
    scheme_ = "https";
  } else {
    server_ = std::make_unique<httplib::Server>();
    scheme_ = "http";
  }
  server_->new_task_queue = [] { return new httplib::ThreadPool(24); };
  server_->set_socket_options([this](socket_t fd) {
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listen_socket_ = fd;
  });
}

HttpServer::~HttpServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

void HttpServer::Listen() {
  port_ = server_->bind_to_any_port("127.0.0.1");
  // The library listens with a queue of 5; under load the connections of a
  // parallel run would overflow it and wait a second for the SYN retry.
  if (listen_socket_ >= 0) listen(listen_socket_, 128);
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::string HttpServer::Url(const std::string& path) const {
  return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
}

void Gate::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  opened_.wait_for(lock, std::chrono::seconds(20), [this] { return open_; });
}

void Gate::Open() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = true;
  opened_.notify_all();
}

}  // namespace vellumark::testing
