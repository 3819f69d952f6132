// In-memory EC P-256 CA and the leaf certificate it signs.
#pragma once

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <string>

namespace sandbox::detail {

class Certificates {
 public:
  Certificates();  // throws std::runtime_error when OpenSSL fails
  ~Certificates();
  Certificates(const Certificates&) = delete;
  Certificates& operator=(const Certificates&) = delete;

  X509* leaf() const { return leaf_; }
  EVP_PKEY* leafKey() const { return leafKey_; }
  X509* ca() const { return ca_; }
  const std::string& caPem() const { return caPem_; }
  const std::string& caName() const { return caName_; }

  // A server SSL_CTX with the leaf and its key (TLS 1.2 at least).
  SSL_CTX* newServerContext() const;

 private:
  EVP_PKEY* caKey_ = nullptr;
  X509* ca_ = nullptr;
  EVP_PKEY* leafKey_ = nullptr;
  X509* leaf_ = nullptr;
  std::string caPem_, caName_;
};

}  // namespace sandbox::detail
