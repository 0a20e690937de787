#include "CatalogueManifest.h"

#include <nlohmann/json.hpp>

#include <limits>

#include "JsonText.h"

namespace {

using Json = nlohmann::json;

// The first thing wrong with a manifest.
struct Fault {
    int32_t result;
    std::string reason;
};

bool IsSha256(const std::string& s)
{
    if (s.size() != 64)
        return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// The bytes a JSON string stands for. The manifest writes each byte
// outside printable ASCII as \u00XX, which the parser gives back as UTF-8;
// a string whose characters all lie below U+0100 is turned back into those
// bytes. One with a character above stays as it is.
std::string Bytes(const std::string& utf8)
{
    std::string bytes;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            return utf8;
        }
    }
    return bytes;
}

// The member of an object, or null when it is not there.
const Json* Member(const Json& object, const char* key)
{
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

class CReader {
public:
    explicit CReader(Fault& fault) : m_fault(fault) {}

    bool Malformed(const std::string& where, const char* what)
    {
        m_fault = {CatalogueManifest::kMalformed, where + " " + what};
        return false;
    }

    bool Text(const Json& object, const std::string& where, const char* key, std::string& out, bool required)
    {
        const Json* value = Member(object, key);
        if (!value)
            return !required || Malformed(where + "." + key, "is missing");
        if (!value->is_string())
            return Malformed(where + "." + key, "is not a string");
        out = Bytes(value->get<std::string>());
        return true;
    }

    template <typename T>
    bool Number(const Json& object, const std::string& where, const char* key, T& out, bool required)
    {
        const Json* value = Member(object, key);
        if (!value)
            return !required || Malformed(where + "." + key, "is missing");
        if (value->is_number_unsigned()) {
            const uint64_t n = value->get<uint64_t>();
            if (n <= static_cast<uint64_t>(std::numeric_limits<T>::max())) {
                out = static_cast<T>(n);
                return true;
            }
        }
        return Malformed(where + "." + key, "is not a whole number in range");
    }

    bool Flag(const Json& object, const std::string& where, const char* key, bool& out)
    {
        const Json* value = Member(object, key);
        if (!value)
            return true;
        if (!value->is_boolean())
            return Malformed(where + "." + key, "is not true or false");
        out = value->get<bool>();
        return true;
    }

    bool Digest(const Json& object, const std::string& where, std::string& out)
    {
        if (!Text(object, where, "sha256", out, true))
            return false;
        for (char& c : out)
            if (c >= 'A' && c <= 'F')
                c = static_cast<char>(c - 'A' + 'a');
        return IsSha256(out) || Malformed(where + ".sha256", "is not a SHA-256 digest");
    }

    bool File(const Json& json, const std::string& where, ManifestFile& file)
    {
        if (!json.is_object())
            return Malformed(where, "is not an object");
        std::string size;
        if (!Text(json, where, "size", size, true))
            return false;
        bool known = false;
        for (PortraitSize s = kSizeLarge; s < kSizeCount; ++s)
            if (size == kSizeNames[s]) {
                file.size = s;
                known = true;
            }
        if (!known)
            return Malformed(where + ".size", "is not LARGE, MEDIUM or SMALL");
        return Number(json, where, "frame", file.frame, true) && Text(json, where, "path", file.path, true) &&
               Number(json, where, "width", file.width, false) && Number(json, where, "height", file.height, false) &&
               Number(json, where, "depth", file.depth, false) && Digest(json, where, file.sha256);
    }

    bool Portrait(const Json& json, const std::string& where, ManifestPortrait& portrait)
    {
        if (!json.is_object())
            return Malformed(where, "is not an object");
        if (!Number(json, where, "index", portrait.index, false) || !Text(json, where, "name", portrait.name, true) ||
            !Number(json, where, "race", portrait.race, false) ||
            !Text(json, where, "raceName", portrait.raceName, false) || !Flag(json, where, "male", portrait.male) ||
            !Text(json, where, "variant", portrait.variant, false))
            return false;
        const Json* files = Member(json, "files");
        if (!files || !files->is_array())
            return Malformed(where + ".files", files ? "is not a list" : "is missing");
        portrait.files.resize(files->size());
        for (size_t i = 0; i < files->size(); ++i)
            if (!File((*files)[i], where + ".files[" + std::to_string(i) + "]", portrait.files[i]))
                return false;
        return true;
    }

    bool Manifest(const Json& root, CatalogueManifest& manifest)
    {
        if (!root.is_object()) {
            m_fault = {CatalogueManifest::kOtherFormat, "it is not a portrait catalogue manifest"};
            return false;
        }
        const Json* format = Member(root, "format");
        if (!format || !format->is_string() || format->get<std::string>() != CatalogueManifest::kFormat) {
            m_fault = {CatalogueManifest::kOtherFormat, "it is not a portrait catalogue manifest (its \"format\" is not \"" +
                                                            std::string(CatalogueManifest::kFormat) + "\")"};
            return false;
        }
        const Json* version = Member(root, "version");
        if (!version || !version->is_number_unsigned() ||
            (version->get<uint64_t>() != CatalogueManifest::kVersion &&
             version->get<uint64_t>() != CatalogueManifest::kWholeFileVersion)) {
            m_fault = {CatalogueManifest::kOtherVersion,
                       "its version " + (version && version->is_number() ? version->dump() : std::string("(none)")) +
                           " is not one this editor reads (version 1 or 2)"};
            return false;
        }
        manifest.version = static_cast<int32_t>(version->get<uint64_t>());
        const Json* archive = Member(root, "archive");
        if (!archive || !archive->is_object())
            return Malformed("archive", archive ? "is not an object" : "is missing");
        if (!Number(*archive, "archive", "size", manifest.archiveSize, true) ||
            !Digest(*archive, "archive", manifest.archiveSha256))
            return false;
        // A version 2 digest says what it is of, so that the file reads on
        // its own; this editor makes one kind only.
        if (manifest.version != CatalogueManifest::kWholeFileVersion) {
            std::string digestOf;
            if (!Text(*archive, "archive", "digestOf", digestOf, true))
                return false;
            if (digestOf != CatalogueManifest::kDigestOf)
                return Malformed("archive.digestOf",
                                 ("is not \"" + std::string(CatalogueManifest::kDigestOf) + "\"").c_str());
        }
        const Json* portraits = Member(root, "portraits");
        if (!portraits || !portraits->is_array())
            return Malformed("portraits", portraits ? "is not a list" : "is missing");
        manifest.portraits.resize(portraits->size());
        for (size_t i = 0; i < portraits->size(); ++i)
            if (!Portrait((*portraits)[i], "portraits[" + std::to_string(i) + "]", manifest.portraits[i]))
                return false;
        return true;
    }

private:
    Fault& m_fault;
};

} // namespace

std::string SerializeCatalogueManifest(const CatalogueManifest& manifest)
{
    // Version 1 is written only as a test's or a seed's old manifest.
    const bool wholeFile = manifest.version == CatalogueManifest::kWholeFileVersion;
    std::string text = "{\"format\": " + JsonString(CatalogueManifest::kFormat) +
                       ", \"version\": " + std::to_string(wholeFile ? manifest.version : CatalogueManifest::kVersion) +
                       ", \"archive\": {\"size\": " + std::to_string(manifest.archiveSize) +
                       (wholeFile ? "" : ", \"digestOf\": " + JsonString(CatalogueManifest::kDigestOf)) +
                       ", \"sha256\": " + JsonString(manifest.archiveSha256) + "}, \"portraits\": [";
    for (size_t i = 0; i < manifest.portraits.size(); ++i) {
        const ManifestPortrait& p = manifest.portraits[i];
        text += std::string(i ? "," : "") + "\n  {\"index\": " + std::to_string(p.index) +
                ", \"name\": " + JsonString(p.name) + ", \"race\": " + std::to_string(p.race) +
                ", \"raceName\": " + JsonString(p.raceName) + ", \"male\": " + (p.male ? "true" : "false") +
                ", \"variant\": " + JsonString(p.variant) + ", \"files\": [";
        for (size_t k = 0; k < p.files.size(); ++k) {
            const ManifestFile& f = p.files[k];
            text += std::string(k ? "," : "") + "\n    {\"size\": " + JsonString(kSizeNames[f.size]) +
                    ", \"frame\": " + std::to_string(f.frame) + ", \"path\": " + JsonString(f.path) +
                    ", \"width\": " + std::to_string(f.width) + ", \"height\": " + std::to_string(f.height) +
                    ", \"depth\": " + std::to_string(f.depth) + ", \"sha256\": " + JsonString(f.sha256) + "}";
        }
        text += p.files.empty() ? "]}" : "\n  ]}";
    }
    return text + (manifest.portraits.empty() ? "]}\n" : "\n]}\n");
}

int32_t ParseCatalogueManifest(std::string_view text, CatalogueManifest& manifest, std::string& reason)
{
    manifest = CatalogueManifest();
    // The parser keeps its own stack, so deep nesting costs memory in
    // proportion to the text, not the call stack.
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        reason = "it is not valid JSON (at byte " + std::to_string(e.byte) + ")";
        return CatalogueManifest::kNotJson;
    } catch (const Json::exception&) {
        reason = "it is not valid JSON";
        return CatalogueManifest::kNotJson;
    }
    Fault fault{CatalogueManifest::kOk, {}};
    CReader reader(fault);
    if (!reader.Manifest(root, manifest)) {
        manifest = CatalogueManifest();
        reason = fault.reason;
        return fault.result;
    }
    reason.clear();
    return CatalogueManifest::kOk;
}
