#include "Sha256Stream.h"

#include <openssl/evp.h>

struct CSha256Stream::Context {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(ctx); }
};

CSha256Stream::CSha256Stream() : m_context(std::make_unique<Context>())
{
    m_ok = m_context->ctx && EVP_DigestInit_ex(m_context->ctx, EVP_sha256(), nullptr) == 1;
}

CSha256Stream::CSha256Stream(const CSha256Stream& other) : m_context(std::make_unique<Context>())
{
    m_ok = other.m_ok && m_context->ctx && EVP_MD_CTX_copy_ex(m_context->ctx, other.m_context->ctx) == 1;
}

CSha256Stream::~CSha256Stream() = default;

bool CSha256Stream::Add(std::span<const uint8_t> bytes)
{
    if (m_ok && !bytes.empty())
        m_ok = EVP_DigestUpdate(m_context->ctx, bytes.data(), bytes.size()) == 1;
    return m_ok;
}

std::string CSha256Stream::Finish()
{
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    if (!m_ok || EVP_DigestFinal_ex(m_context->ctx, md, &n) != 1) {
        m_ok = false;
        return {};
    }
    m_ok = false;
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(n * 2);
    for (unsigned int i = 0; i < n; ++i) {
        hex += kHex[md[i] >> 4];
        hex += kHex[md[i] & 15];
    }
    return hex;
}
