// The catalogue manifest read back as it was written, and each way a file
// that is no such manifest is refused with a reason naming the fault.
#include <gtest/gtest.h>

#include "CatalogueManifest.h"

namespace {

CatalogueManifest SomeManifest()
{
    CatalogueManifest m;
    m.archiveSize = 3877701;
    m.archiveSha256 = std::string(64, 'a');
    ManifestPortrait p{0, "TVARM1", 3, "Elf \"of the woods\" \xE9\x01", true, "1", {}};
    p.files.push_back({kSizeLarge, 0, "TVARM1/TVARM1_LARGE.PNG", 179, 143, 8, std::string(64, '0')});
    p.files.push_back({kSizeMedium, 11, "TVARM1/TVARM111_MEDIUM.PNG", 60, 70, 16, std::string(63, 'f') + "e"});
    m.portraits.push_back(p);
    m.portraits.push_back({1, "QENF", 0, "", false, "", {}});
    return m;
}

int32_t Parse(const std::string& text, std::string& reason)
{
    CatalogueManifest m;
    return ParseCatalogueManifest(text, m, reason);
}

// The manifest's text with one piece replaced.
std::string With(const std::string& from, const std::string& to)
{
    std::string text = SerializeCatalogueManifest(SomeManifest());
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(CatalogueManifestTest, ReadsBackWhatIsWritten)
{
    const CatalogueManifest m = SomeManifest();
    const std::string text = SerializeCatalogueManifest(m);
    CatalogueManifest back;
    std::string reason = "stale";
    ASSERT_EQ(ParseCatalogueManifest(text, back, reason), CatalogueManifest::kOk) << reason;
    EXPECT_EQ(back, m);
    EXPECT_EQ(reason, "");
    EXPECT_EQ(text.rfind("{\"format\": \"thornvale-portraits\", \"version\": 2, \"archive\": {\"size\": 3877701, "
                         "\"digestOf\": \"header-directory-portraits\", \"sha256\": \"aaaa",
                         0),
              0u);
    // A version 1 manifest, whose digest is of the whole archive file, reads
    // back as version 1.
    CatalogueManifest old = m;
    old.version = CatalogueManifest::kWholeFileVersion;
    const std::string oldText = SerializeCatalogueManifest(old);
    EXPECT_EQ(oldText.find("digestOf"), std::string::npos);
    ASSERT_EQ(ParseCatalogueManifest(oldText, back, reason), CatalogueManifest::kOk) << reason;
    EXPECT_EQ(back, old);

    // Describing fields may be left out; upper-case digests read as lower.
    const std::string upper(64, 'A');
    ASSERT_EQ(ParseCatalogueManifest(R"({"format": "thornvale-portraits", "version": 1, "archive": {"size": 0,
        "sha256": ")" + upper + R"("}, "portraits": [{"name": "X", "files": [{"size": "SMALL", "frame": 0,
        "path": "X/X_SMALL.PNG", "sha256": ")" + upper + "\"}]}]}",
                                     back, reason),
              CatalogueManifest::kOk)
        << reason;
    EXPECT_EQ(back.portraits.at(0).files.at(0).sha256, std::string(64, 'a'));
}

TEST(CatalogueManifestTest, RefusesWhatIsNoManifestOfThisKind)
{
    std::string reason;
    EXPECT_EQ(Parse("{\"format\": \"thornvale-portraits\", ", reason), CatalogueManifest::kNotJson);
    EXPECT_NE(reason.find("not valid JSON (at byte"), std::string::npos) << reason;
    EXPECT_EQ(Parse("", reason), CatalogueManifest::kNotJson);
    EXPECT_EQ(Parse(std::string(100000, '['), reason), CatalogueManifest::kNotJson);
    EXPECT_EQ(Parse("[1, 2]", reason), CatalogueManifest::kOtherFormat);
    EXPECT_EQ(Parse(With("thornvale-portraits", "other-tool"), reason), CatalogueManifest::kOtherFormat);
    EXPECT_EQ(Parse(With("\"version\": 2", "\"version\": 3"), reason), CatalogueManifest::kOtherVersion);
    EXPECT_NE(reason.find("version 3"), std::string::npos) << reason;

    const struct {
        std::string from, to, fault;
    } cases[] = {
        {"\"size\": 3877701", "\"size\": -1", "archive.size is not a whole number in range"},
        {"header-directory-portraits", "whole-file", "archive.digestOf is not \"header-directory-portraits\""},
        {"\"digestOf\": \"header-directory-portraits\", ", "", "archive.digestOf is missing"},
        {"\"name\": \"TVARM1\"", "\"name\": 7", "portraits[0].name is not a string"},
        {"\"size\": \"LARGE\"", "\"size\": \"HUGE\"", "portraits[0].files[0].size is not LARGE, MEDIUM or SMALL"},
        {"\"frame\": 11", "\"frame\": 1.5", "portraits[0].files[1].frame is not a whole number in range"},
        {"\"frame\": 11", "\"frame\": 4294967296", "portraits[0].files[1].frame is not a whole number in range"},
        {std::string(63, 'f') + "e", "xyz", "portraits[0].files[1].sha256 is not a SHA-256 digest"},
        {"\"male\": false", "\"male\": 0", "portraits[1].male is not true or false"},
        {"\"files\": []", "\"files\": {}", "portraits[1].files is not a list"},
        {", \"path\": \"TVARM1/TVARM1_LARGE.PNG\"", "", "portraits[0].files[0].path is missing"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(With(c.from, c.to), reason), CatalogueManifest::kMalformed) << c.to;
        EXPECT_EQ(reason, c.fault);
    }
}
