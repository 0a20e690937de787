#include "SteamLibraries.h"

#include <cstdio>

#include "CheckedSize.h"
#include "FileSystem.h"

namespace {

enum class TokenKind { kEnd, kString, kOpen, kClose };

// One pass over the text, a token at a time. Every step takes at least one
// byte, and a string grows no longer than kMaxStringBytes.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    int32_t Next(TokenKind& kind, std::string& token)
    {
        token.clear();
        SkipBlanks();
        if (m_at >= m_text.size()) {
            kind = TokenKind::kEnd;
            return CSteamLibraries::kOk;
        }
        const char c = m_text[m_at];
        if (c == '{' || c == '}') {
            ++m_at;
            kind = c == '{' ? TokenKind::kOpen : TokenKind::kClose;
            return CSteamLibraries::kOk;
        }
        kind = TokenKind::kString;
        return c == '"' ? Quoted(token) : Bare(token);
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

    // Blanks, // comments to the end of the line, and conditions such as
    // [$LINUX] after a value, which say nothing about paths.
    void SkipBlanks()
    {
        while (m_at < m_text.size()) {
            const std::string_view rest = m_text.substr(m_at);
            if (IsBlank(rest[0])) {
                ++m_at;
            } else if (rest.starts_with("//")) {
                const size_t end = rest.find('\n');
                m_at = end == std::string_view::npos ? m_text.size() : m_at + end + 1;
            } else if (rest[0] == '[') {
                const size_t end = rest.find(']');
                m_at = end == std::string_view::npos ? m_text.size() : m_at + end + 1;
            } else {
                return;
            }
        }
    }

    // A string in quotes, with \n, \t, \\ and \" as escapes (a backslash
    // before any other byte stands for that byte).
    int32_t Quoted(std::string& token)
    {
        ++m_at; // the opening quote
        while (m_at < m_text.size()) {
            char c = m_text[m_at++];
            if (c == '"')
                return CSteamLibraries::kOk;
            if (c == '\\') {
                if (m_at >= m_text.size())
                    break;
                const char escaped = m_text[m_at++];
                c = escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            }
            if (token.size() >= CSteamLibraries::kMaxStringBytes)
                return CSteamLibraries::kTooLarge;
            token.push_back(c);
        }
        return CSteamLibraries::kMalformed; // the quote was never closed
    }

    // A string without quotes: up to a blank, a quote or a brace.
    int32_t Bare(std::string& token)
    {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (IsBlank(c) || c == '"' || c == '{' || c == '}')
                break;
            if (token.size() >= CSteamLibraries::kMaxStringBytes)
                return CSteamLibraries::kTooLarge;
            token.push_back(c);
            ++m_at;
        }
        return CSteamLibraries::kOk;
    }

    std::string_view m_text;
    size_t m_at = 0;
};

bool IsPathKey(const std::string& key)
{
    return key.size() == 4 && (key[0] | 0x20) == 'p' && (key[1] | 0x20) == 'a' && (key[2] | 0x20) == 't' &&
           (key[3] | 0x20) == 'h';
}

// A library's path is used only as a folder to look in: absolute, and with
// no zero byte that would cut it short on its way to the system.
bool IsUsablePath(const std::string& path)
{
    return !path.empty() && path[0] == '/' && path.find('\0') == std::string::npos;
}

int32_t ParseInto(std::string_view text, std::vector<std::string>& paths)
{
    if (text.size() > CSteamLibraries::kMaxTextBytes)
        return CSteamLibraries::kTooLarge;
    Scanner scanner(text);
    size_t depth = 0;
    TokenKind kind = TokenKind::kEnd;
    std::string key, value;
    for (;;) {
        if (const int32_t result = scanner.Next(kind, key); result != CSteamLibraries::kOk)
            return result;
        if (kind == TokenKind::kEnd)
            return depth == 0 ? CSteamLibraries::kOk : CSteamLibraries::kMalformed;
        if (kind == TokenKind::kClose) {
            if (depth == 0)
                return CSteamLibraries::kMalformed;
            --depth;
            continue;
        }
        if (kind == TokenKind::kOpen) // a block without a key
            return CSteamLibraries::kMalformed;
        // A key: a value or a block follows.
        if (const int32_t result = scanner.Next(kind, value); result != CSteamLibraries::kOk)
            return result;
        if (kind == TokenKind::kOpen) {
            if (depth >= CSteamLibraries::kMaxDepth)
                return CSteamLibraries::kTooDeep;
            ++depth;
        } else if (kind != TokenKind::kString) {
            return CSteamLibraries::kMalformed;
        } else if (IsPathKey(key) && IsUsablePath(value)) {
            if (paths.size() >= CSteamLibraries::kMaxLibraries)
                return CSteamLibraries::kTooLarge;
            paths.push_back(value);
        }
    }
}

} // namespace

int32_t CSteamLibraries::Parse(std::string_view text, std::vector<std::string>& paths)
{
    paths.clear();
    const int32_t result = ParseInto(text, paths);
    if (result != kOk)
        paths.clear();
    return result;
}

int32_t CSteamLibraries::Read(const std::string& hostPath, std::vector<std::string>& paths)
{
    paths.clear();
    const FileHandle file = CFileSystem::OpenForReading(hostPath);
    if (!file)
        return kUnreadable;
    const int64_t size = CFileSystem::GetFileSize(file.get());
    if (size < 0)
        return kUnreadable;
    if (!RangeFits(0, static_cast<uint64_t>(size), kMaxTextBytes))
        return kTooLarge;
    std::string text(static_cast<size_t>(size), '\0');
    if (!text.empty() && std::fread(text.data(), 1, text.size(), file.get()) != text.size())
        return kUnreadable;
    return Parse(text, paths);
}
