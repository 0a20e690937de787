#include "Sha256.h"

#include <openssl/evp.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "FileSystem.h"

namespace {

struct DigestFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
using Digest = std::unique_ptr<EVP_MD_CTX, DigestFree>;

Digest Begin()
{
    Digest ctx(EVP_MD_CTX_new());
    if (ctx && EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1)
        ctx.reset();
    return ctx;
}

std::string Finish(EVP_MD_CTX* ctx)
{
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    if (EVP_DigestFinal_ex(ctx, md, &n) != 1)
        return {};
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(n * 2);
    for (unsigned int i = 0; i < n; ++i) {
        hex += kHex[md[i] >> 4];
        hex += kHex[md[i] & 15];
    }
    return hex;
}

} // namespace

std::string Sha256Hex(std::span<const uint8_t> bytes)
{
    const Digest ctx = Begin();
    if (!ctx || EVP_DigestUpdate(ctx.get(), bytes.data(), bytes.size()) != 1)
        return {};
    return Finish(ctx.get());
}

bool Sha256OfFile(const std::string& path, std::string& hex, uint64_t& size)
{
    const FileHandle file = CFileSystem::OpenForReading(path);
    const Digest ctx = Begin();
    if (!file || !ctx)
        return false;
    std::vector<uint8_t> block(65536);
    uint64_t total = 0;
    size_t n = 0;
    while ((n = std::fread(block.data(), 1, block.size(), file.get())) > 0) {
        if (EVP_DigestUpdate(ctx.get(), block.data(), n) != 1)
            return false;
        total += n;
    }
    if (std::ferror(file.get()))
        return false;
    hex = Finish(ctx.get());
    size = total;
    return !hex.empty();
}
