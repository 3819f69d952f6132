#include "Certificates.hpp"

#include "Util.hpp"

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>

namespace sandbox::detail {
namespace {

[[noreturn]] void fail(const char* what) {
  const unsigned long e = ERR_get_error();
  char buf[256] = {0};
  if (e != 0) ERR_error_string_n(e, buf, sizeof buf);
  throw std::runtime_error(std::string("sandbox certificates: ") + what +
                           (e ? std::string(": ") + buf : ""));
}

EVP_PKEY* newKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (key == nullptr) fail("EC key generation");
  return key;
}

void addExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (ext == nullptr) fail("extension");
  const int ok = X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
  if (ok != 1) fail("add extension");
}

X509* newCertificate(EVP_PKEY* key, const std::string& commonName, X509* issuer,
                     EVP_PKEY* issuerKey) {
  X509* cert = X509_new();
  if (cert == nullptr) fail("X509_new");
  X509_set_version(cert, 2);
  // A random positive serial of 16 bytes.
  std::string serialBytes = randomBytes(16);
  serialBytes[0] = static_cast<char>(static_cast<unsigned char>(serialBytes[0]) & 0x7F);
  BIGNUM* bn = BN_bin2bn(reinterpret_cast<const unsigned char*>(serialBytes.data()),
                         static_cast<int>(serialBytes.size()), nullptr);
  BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert));
  BN_free(bn);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), issuer == nullptr ? 2 * 86400 : 86400);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>("ZentrelSDK sandbox"), -1, -1,
                             0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
  X509* signer = issuer == nullptr ? cert : issuer;
  X509_set_issuer_name(cert, X509_get_subject_name(signer));
  if (issuer == nullptr) {
    addExtension(cert, cert, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert, cert, NID_key_usage, "critical,keyCertSign,cRLSign");
    addExtension(cert, cert, NID_subject_key_identifier, "hash");
    addExtension(cert, cert, NID_authority_key_identifier, "keyid:always");
  } else {
    addExtension(cert, issuer, NID_basic_constraints, "critical,CA:FALSE");
    addExtension(cert, issuer, NID_key_usage, "critical,digitalSignature");
    addExtension(cert, issuer, NID_ext_key_usage, "serverAuth");
    addExtension(cert, issuer, NID_subject_key_identifier, "hash");
    addExtension(cert, issuer, NID_authority_key_identifier, "keyid:always");
    addExtension(
        cert, issuer, NID_subject_alt_name,
        "DNS:id.zentrel.com,DNS:api.zentrel.com,DNS:id.dev.zentrel.com,DNS:api.dev.zentrel.com,"
        "DNS:localhost,IP:127.0.0.1");
  }
  if (X509_sign(cert, issuer == nullptr ? key : issuerKey, EVP_sha256()) == 0) fail("X509_sign");
  return cert;
}

}  // namespace

Certificates::Certificates() {
  try {
    caName_ = "ZentrelSDK sandbox CA " + randomHex(8);
    caKey_ = newKey();
    ca_ = newCertificate(caKey_, caName_, nullptr, nullptr);
    leafKey_ = newKey();
    leaf_ = newCertificate(leafKey_, "id.zentrel.com", ca_, caKey_);
    BIO* bio = BIO_new(BIO_s_mem());
    if (bio == nullptr || PEM_write_bio_X509(bio, ca_) != 1) {
      BIO_free(bio);
      fail("PEM");
    }
    char* data = nullptr;
    const long len = BIO_get_mem_data(bio, &data);
    caPem_.assign(data, static_cast<std::size_t>(len));
    BIO_free(bio);
  } catch (...) {
    X509_free(leaf_);
    EVP_PKEY_free(leafKey_);
    X509_free(ca_);
    EVP_PKEY_free(caKey_);
    throw;
  }
}

Certificates::~Certificates() {
  X509_free(leaf_);
  EVP_PKEY_free(leafKey_);
  X509_free(ca_);
  EVP_PKEY_free(caKey_);
}

SSL_CTX* Certificates::newServerContext() const {
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  if (ctx == nullptr) fail("SSL_CTX_new");
  SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
  if (SSL_CTX_use_certificate(ctx, leaf_) != 1 || SSL_CTX_use_PrivateKey(ctx, leafKey_) != 1 ||
      SSL_CTX_check_private_key(ctx) != 1) {
    SSL_CTX_free(ctx);
    fail("server context");
  }
  return ctx;
}

}  // namespace sandbox::detail
