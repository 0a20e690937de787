// Writes a demo game: every portrait is drawn by the demo's painter and
// stored in the game's own image and archive formats, so the result exercises
// the editor the way a real game would. This file assembles the entries and
// writes the base directory; the bytes of both formats come from the image
// and archive layers' serializers.
#include "DemoGame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "ArchiveFormat.h"
#include "ArchiveMember.h"
#include "DemoCast.h"
#include "DemoColour.h"
#include "DemoPicture.h"
#include "DemoRandom.h"
#include "EntryBaseName.h"
#include "FileSystem.h"
#include "GameFolder.h"
#include "GfxFrameRecord.h"
#include "GfxHeader.h"
#include "GfxImage.h"
#include "LittleEndian.h"
#include "ReplacingFile.h"

namespace demo {
namespace {

// ---------------------------------------------------------------------------
// Labels: bytes of the header that the editor does not interpret. The demo
// puts labels there so that a test can see the editor carry them through a save.

constexpr size_t kLabelTagOffset = 0;      // 4 bytes "DEMO", then u16 serial number
constexpr size_t kLabelSerialOffset = 4;
constexpr size_t kLabelDelayOffset = 12;   // u32 frame delay in milliseconds
constexpr size_t kLabelNameOffset = 29;    // up to 15 bytes of the entry's base name
constexpr size_t kLabelNameSize = 15;
constexpr size_t kLabelWhoOffset = 45;     // race + 1, 'M' or 'F', variant
constexpr size_t kRecordDelayOffset = 8;   // frame record: u16 delay, u16 frame number + 1

struct ImageLabel {
    uint16_t serial = 0;
    uint32_t delay = 0;
    std::string name;
    uint8_t race = 0;
    char gender = 0;
    char variant = 0;
};

// A label naming the entry by its base name; false when the entry name has none.
bool MakeLabel(const std::string& entryName, uint16_t serial, ImageLabel& label)
{
    label.serial = serial;
    return GetEntryBaseName(entryName, label.name);
}

GfxHeader LabelledHeader(const ImageLabel& label)
{
    GfxHeader header;
    std::memcpy(&header.bytes[kLabelTagOffset], "DEMO", 4);
    StoreU16LE(&header.bytes[kLabelSerialOffset], label.serial);
    StoreU32LE(&header.bytes[kLabelDelayOffset], label.delay);
    std::memcpy(&header.bytes[kLabelNameOffset], label.name.data(), std::min(label.name.size(), kLabelNameSize));
    header.bytes[kLabelWhoOffset] = label.race;
    header.bytes[kLabelWhoOffset + 1] = static_cast<uint8_t>(label.gender);
    header.bytes[kLabelWhoOffset + 2] = static_cast<uint8_t>(label.variant);
    return header;
}

GfxFrameRecord LabelledRecord(const ImageLabel& label, size_t frame)
{
    GfxFrameRecord record;
    StoreU16LE(&record.bytes[kRecordDelayOffset], static_cast<uint16_t>(label.delay));
    StoreU16LE(&record.bytes[kRecordDelayOffset + 2], static_cast<uint16_t>(frame + 1));
    return record;
}

// ---------------------------------------------------------------------------
// A drawn image as GFX bytes. The header and frame records come with the
// label in the bytes the editor keeps as they are; the image layer sets the
// fields the editor reads from the pictures here.

struct DrawnFrame {
    GfxFrameRecord record;
    int32_t width;
    int32_t height;
    std::vector<uint8_t> indices; // rows of exactly width bytes
};

struct DrawnImage {
    GfxHeader header;
    bool trueColour = false;
    std::vector<uint8_t> palette;   // palette image: red, green, blue triples
    std::vector<DrawnFrame> frames; // palette image: the frames in order
    int32_t width = 0;              // true-colour image: its one picture
    int32_t height = 0;
    std::vector<uint16_t> pixels;   // rows of exactly width pixels
};

// A palette image's header gives the size of its first frame. False when a
// palette image has no frames or a frame cannot be encoded.
bool ToGfxImage(const DrawnImage& drawn, GfxImage& image)
{
    if (drawn.trueColour) {
        image = GfxImage::TrueColourImage(drawn.header, static_cast<int16_t>(drawn.width),
                                          static_cast<int16_t>(drawn.height), drawn.pixels);
        return true;
    }
    if (drawn.frames.empty())
        return false;
    GfxHeader header = drawn.header;
    header.SetWidth(static_cast<int16_t>(drawn.frames[0].width));
    header.SetHeight(static_cast<int16_t>(drawn.frames[0].height));
    image = GfxImage::PaletteImage(header, drawn.palette);
    for (const DrawnFrame& f : drawn.frames)
        if (!image.AddFrame(f.record, f.indices.data(), f.width, f.height))
            return false;
    return true;
}

bool GfxBytes(const DrawnImage& drawn, std::vector<uint8_t>& out)
{
    GfxImage image;
    if (!ToGfxImage(drawn, image))
        return false;
    out = SerializeGfx(image);
    return true;
}

// ---------------------------------------------------------------------------
// The archive, written whole from its entries in directory order.

// The archive header names the file it was built as; a fixed name keeps the
// archive identical whichever folder it is written to.

// Writes the archive of the entries to archivePath through a temporary file
// beside it, so that a half-written archive never stands there.
bool WriteArchive(const std::string& archivePath, const std::vector<ArchiveMember>& entries, std::string& error)
{
    const std::vector<uint8_t> bytes = SerializeArchive(CGameFolder::kArchiveLabel, entries);
    if (bytes.empty()) {
        error = "the entries do not fit one archive";
        return false;
    }
    CReplacingFile out;
    const bool written = out.Begin(archivePath) &&
                         CFileSystem::Write(out.Stream(), bytes.data(), bytes.size()) && out.CommitNew();
    if (!written) {
        error = "cannot write " + CFileSystem::ResolvePath(archivePath) +
                (out.Error() != 0 ? std::string(": ") + std::strerror(out.Error()) : std::string());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The portraits.

bool AddPortraitImage(const Character& who, const ImageSize& size, const std::string& name, uint16_t serial,
                      std::vector<ArchiveMember>& entries)
{
    ImageLabel label;
    if (!MakeLabel(name, serial, label))
        return false;
    label.delay = 90 + 10 * static_cast<uint32_t>(serial % 7);
    label.race = static_cast<uint8_t>(who.race + 1);
    label.gender = who.male ? 'M' : 'F';
    label.variant = who.variant;

    DrawnImage image;
    image.header = LabelledHeader(label);
    if (who.trueColour) {
        image.trueColour = true;
        image.width = size.width;
        image.height = size.height;
        image.pixels = PaintTrueColour(who, Pose{}, size.width, size.height);
    } else {
        const int32_t count = &size == &kMedium ? who.mediumFrames : 1;
        image.palette = BuildPalette(who);
        for (int32_t i = 0; i < count; ++i)
            image.frames.push_back({LabelledRecord(label, static_cast<size_t>(i)), size.width, size.height,
                                    PaintIndices(who, PoseAt(who, i, count), size.width, size.height)});
    }
    ArchiveMember entry{name, {}};
    if (!GfxBytes(image, entry.payload))
        return false;
    entries.push_back(std::move(entry));
    return true;
}

// ---------------------------------------------------------------------------
// Entries that are not portraits, which the editor must pass over.

std::vector<uint8_t> DoorSound()
{
    // 8-bit mono sound: a decaying knock of filtered noise.
    constexpr uint32_t kRate = 11025;
    constexpr uint32_t kSamples = 2205;
    std::vector<uint8_t> wav(44 + kSamples);
    auto put4 = [&wav](size_t at, const char* s) { std::memcpy(&wav[at], s, 4); };
    put4(0, "RIFF");
    StoreU32LE(&wav[4], 36 + kSamples);
    put4(8, "WAVE");
    put4(12, "fmt ");
    StoreU32LE(&wav[16], 16);
    StoreU16LE(&wav[20], 1); // plain samples
    StoreU16LE(&wav[22], 1); // mono
    StoreU32LE(&wav[24], kRate);
    StoreU32LE(&wav[28], kRate);
    StoreU16LE(&wav[32], 1);
    StoreU16LE(&wav[34], 8);
    put4(36, "data");
    StoreU32LE(&wav[40], kSamples);
    CDemoRandom random(0xD00Bu);
    float smooth = 0.0f;
    for (uint32_t i = 0; i < kSamples; ++i) {
        const float noise = static_cast<float>(random.Below(2001) - 1000) / 1000.0f;
        smooth = smooth * 0.8f + noise * 0.2f;
        const float t = static_cast<float>(i) / static_cast<float>(kRate);
        const float v = smooth * std::exp(-t * 25.0f) + 0.4f * std::sin(t * 2.0f * kPi * 90.0f) * std::exp(-t * 15.0f);
        wav[44 + i] = static_cast<uint8_t>(std::clamp(128.0f + v * 120.0f, 0.0f, 255.0f));
    }
    return wav;
}

std::vector<uint8_t> ReadMeText()
{
    const std::string text =
        "Demo data for the portrait editor.\r\n"
        "The portraits in this archive are drawn by a program and belong to no real game.\r\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A one-frame palette image whose pixel (x, y) gets the palette index draw(x, y).
template <typename Draw>
bool InterfaceImage(const std::string& name, int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                    uint16_t serial, Draw draw, std::vector<ArchiveMember>& entries)
{
    DrawnFrame frame{{}, width, height, std::vector<uint8_t>(static_cast<size_t>(width) * static_cast<size_t>(height))};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            frame.indices[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = draw(x, y);
    ImageLabel label;
    if (!MakeLabel(name, serial, label))
        return false;
    frame.record = LabelledRecord(label, 0);
    DrawnImage image;
    image.header = LabelledHeader(label);
    image.palette = rgb;
    image.frames.push_back(std::move(frame));
    ArchiveMember entry{name, {}};
    if (!GfxBytes(image, entry.payload))
        return false;
    entries.push_back(std::move(entry));
    return true;
}

bool AddInterfaceEntries(std::vector<ArchiveMember>& entries, uint16_t& serial)
{
    const std::vector<uint8_t> greys = {0, 0, 0, 255, 255, 255, 128, 128, 128, 200, 170, 60};
    // An arrow cursor, white edged and grey inside, on index 0.
    const auto inArrow = [](int32_t x, int32_t y) {
        if (x < 0 || y < 0)
            return false;
        const bool head = y < 13 && x <= (y * 2) / 3;
        const bool tail = y >= 9 && y < 19 && x >= (y - 9) / 2 + 2 && x <= (y - 9) / 2 + 4;
        return head || tail;
    };
    const bool cursor = InterfaceImage("INTERFACE\\CURSOR.GFX", 13, 19, greys, serial++,
                                       [&](int32_t x, int32_t y) {
                                           if (!inArrow(x, y))
                                               return uint8_t{0};
                                           const bool edge = !inArrow(x - 1, y) || !inArrow(x + 1, y) ||
                                                             !inArrow(x, y - 1) || !inArrow(x, y + 1);
                                           return static_cast<uint8_t>(edge ? 1 : 2);
                                       },
                                       entries);
    // A gold frame that the game lays over a portrait: it holds "PORTRAIT"
    // but is no portrait.
    const bool frame = InterfaceImage("INTERFACE\\PORTRAITFRAME.GFX", 183, 147, greys, serial++,
                                      [](int32_t x, int32_t y) {
                                          const int32_t edge = std::min({x, y, 182 - x, 146 - y});
                                          if (edge >= 4)
                                              return uint8_t{0};
                                          return static_cast<uint8_t>(edge == 0 || edge == 3 ? 2 : 3);
                                      },
                                      entries);
    // A banner with a race code in its name, outside the portraits folder.
    std::vector<uint8_t> banner = {0, 0, 0};
    for (int32_t k = 0; k < 16; ++k) {
        const Rgb c = RampColour(kRaceLooks[0].cloth[0], static_cast<float>(k) / 15.0f);
        banner.insert(banner.end(), {ToByte(c.r), ToByte(c.g), ToByte(c.b)});
    }
    const bool flag = InterfaceImage("INTERFACE\\BANNERS\\TVARFLAG.GFX", 37, 61, banner, serial++,
                                     [](int32_t x, int32_t y) {
                                         // A swallow-tailed cloth with a gentle wave in it.
                                         if (y > 60 - (18 - std::abs(x - 18)) * 10 / 18)
                                             return uint8_t{0};
                                         const float wave = std::sin(static_cast<float>(x) * 0.35f +
                                                                     static_cast<float>(y) * 0.08f);
                                         return static_cast<uint8_t>(std::clamp(8 + static_cast<int32_t>(wave * 6.0f), 1, 16));
                                     },
                                     entries);
    return cursor && frame && flag;
}

// Every entry of the demo archive, in directory order.
bool BuildEntries(std::vector<ArchiveMember>& entries, std::string& error)
{
    uint16_t serial = 1;
    entries.push_back({"DATA\\SOUNDS\\DOOR01.WAV", DoorSound()});
    entries.push_back({"DATA\\TEXT\\README.TXT", ReadMeText()});
    if (!AddInterfaceEntries(entries, serial)) {
        error = "cannot encode an interface image";
        return false;
    }

    int32_t portrait = 0;
    for (int32_t race = 0; race < kRaceCount; ++race) {
        for (const Identity& id : RacePortraits(race)) {
            const Character who = Cast(id, portrait++);
            for (const ImageSize* size : {&kLarge, &kMedium, &kSmall}) {
                if (!AddPortraitImage(who, *size, EntryName(*size, id), serial++, entries)) {
                    error = "cannot encode the image " + EntryName(*size, id);
                    return false;
                }
            }
        }
        if (race == 5) {
            // A dead character's picture: under PORTRAITS\ and with a race
            // code, but "SKULL" in its name keeps it out of the catalogue.
            Character skull = Cast({race, true, '1'}, portrait);
            skull.skull = true;
            skull.trueColour = false;
            skull.motion = Motion::Flicker;
            skull.mediumFrames = 1;
            if (!AddPortraitImage(skull, kLarge, "PORTRAITS\\LARGE\\LSKULLTROMBM1.GFX", serial++, entries)) {
                error = "cannot encode the skull image";
                return false;
            }
        }
        if (race == 9) {
            // The folder spelled in lower case is not the portraits folder:
            // name tests are case-sensitive.
            const Identity id{race, true, '9'};
            if (!AddPortraitImage(Cast(id, portrait), kLarge, "portraits\\LARGE\\LBRUKM9.GFX", serial++, entries)) {
                error = "cannot encode the lower-case entry";
                return false;
            }
        }
    }
    return true;
}

} // namespace
} // namespace demo

bool MakeDemoGame(const std::string& dir, std::string& error)
{
    error.clear();
    if (dir.empty()) {
        error = "no directory given";
        return false;
    }
    const std::string archivePath = CGameFolder(dir).ArchivePath();
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(CFileSystem::ResolvePath(archivePath), ec))) {
        error = CFileSystem::ResolvePath(archivePath) + " exists already; a game archive is never overwritten";
        return false;
    }
    std::filesystem::create_directories(CFileSystem::ResolvePath(dir), ec);
    for (const char* folder : {"", "DATA", "PATCHES"}) {
        const std::string path = *folder ? CFileSystem::BuildPath(dir, folder) : dir;
        if (!CFileSystem::CreateFolder(path)) {
            error = "cannot create the folder " + CFileSystem::ResolvePath(path);
            return false;
        }
    }

    std::vector<ArchiveMember> entries;
    return demo::BuildEntries(entries, error) && demo::WriteArchive(archivePath, entries, error);
}
