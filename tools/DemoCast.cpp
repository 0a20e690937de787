// The demo's cast: every choice about a character comes from its own seed, so
// adding a portrait never changes the others.
#include "DemoCast.h"

#include "DemoRandom.h"

namespace demo {

const RaceLook kRaceLooks[kRaceCount] = {
    // Tvarran: weathered townsfolk.
    {Hex(0xE0B08A), {Hex(0x5A3A22), Hex(0xC89B4A)}, {Hex(0x2F4F8F), Hex(0x6B2A2A), Hex(0x3F6B3A)}, Hex(0xD9C07A),
     Hex(0x4A7AB0), Hex(0xB86A5E), Hex(0x5A6E8C), Hex(0xF2EEE0), EarShape::Round, false, false, false, false, 0.1f},
    // Bogren: big, grey-green, tusked.
    {Hex(0x8FA080), {Hex(0x2A2A26), Hex(0x5C4A3A)}, {Hex(0x6B4A2E), Hex(0x4A4A3A), Hex(0x7A3A2A)}, Hex(0xA08850),
     Hex(0xC8A030), Hex(0x6E7A5E), Hex(0x6E5A46), Hex(0xE8DEC0), EarShape::Round, true, false, false, false, 0.8f},
    // Qenni: pale, fair-haired, long ears.
    {Hex(0xF2DCC8), {Hex(0xE8D8A0), Hex(0xD8D8E0)}, {Hex(0x2E6B4A), Hex(0x5A7A9A), Hex(0x8A6AA8)}, Hex(0xC0D8A0),
     Hex(0x5AB07A), Hex(0xC88A8A), Hex(0x4A7A6A), Hex(0xF4F2EA), EarShape::LongPointed, false, false, false, false, 0.0f},
    // Vollen: ruddy, red-haired, stocky.
    {Hex(0xD89A7A), {Hex(0xB8481E), Hex(0xD87A2A)}, {Hex(0x6A6E74), Hex(0x4A3A5A), Hex(0x7A5A2A)}, Hex(0xC8C8D0),
     Hex(0x6A8A5A), Hex(0xA85A4A), Hex(0x7A6A5A), Hex(0xF0ECE0), EarShape::Round, false, false, false, false, 0.5f},
    // Kaphiri: dark skin, bright robes.
    {Hex(0x7A4A2E), {Hex(0x1A1410), Hex(0x3A2A1E)}, {Hex(0xD8902A), Hex(0xA8301E), Hex(0xE8D8A8)}, Hex(0xF0D060),
     Hex(0x6A4A1E), Hex(0x5A2A22), Hex(0xA8703A), Hex(0xF4F0E4), EarShape::Round, false, false, false, false, 0.2f},
    // Trombel: small folk with big ears and white hair.
    {Hex(0xF0B8A0), {Hex(0xF0F0F0), Hex(0xA8A8B0)}, {Hex(0x6A3A8A), Hex(0x2A7A8A), Hex(0xB86A2A)}, Hex(0xE8C85A),
     Hex(0x3A8AC8), Hex(0xD07A7A), Hex(0x8A5A7A), Hex(0xF6F2EC), EarShape::Big, false, false, false, false, 0.0f},
    // Yassan: desert people in light robes.
    {Hex(0xC8955A), {Hex(0x241A14), Hex(0x4A2E1A)}, {Hex(0xE8E0C8), Hex(0xC8B890), Hex(0x3AA8A0)}, Hex(0x30A8B8),
     Hex(0x7A5A2A), Hex(0x9A5A48), Hex(0xC8A070), Hex(0xF4EEE2), EarShape::Round, false, false, false, false, 0.1f},
    // Moren: grey-blue skin, white hair, red eyes.
    {Hex(0x7A8090), {Hex(0xF0F0F8), Hex(0x9A9AB0)}, {Hex(0x3A2A4A), Hex(0x2A2A3A), Hex(0x5A1E2E)}, Hex(0xA8A8C8),
     Hex(0xE03A3A), Hex(0x5A4A6A), Hex(0x3A3A5A), Hex(0xE8E8F0), EarShape::Pointed, false, false, false, false, 0.0f},
    // Skarth: scaled and horned.
    {Hex(0x5A8A4A), {Hex(0x8A2A1E), Hex(0x3A5A2A)}, {Hex(0xA82A1E), Hex(0x3A3A3A), Hex(0xC8782A)}, Hex(0xE8C03A),
     Hex(0xE8C81E), Hex(0x4A6A3A), Hex(0x7A5A3A), Hex(0xE0D8B0), EarShape::None, false, true, true, false, 0.3f},
    // Brukk: olive-green, tusked, pointed ears.
    {Hex(0x6E8A3A), {Hex(0x1A1A14), Hex(0x4A3A2A)}, {Hex(0x8A3A1E), Hex(0x5A4A3A), Hex(0x3A4A5A)}, Hex(0xB08040),
     Hex(0xD8A01E), Hex(0x4A5A2A), Hex(0x5A4A3A), Hex(0xE6DCB8), EarShape::Pointed, true, false, false, false, 0.6f},
    // Obian: teal skin, sea colours.
    {Hex(0x5AA0B0), {Hex(0x1E2A6A), Hex(0xE8E8F0)}, {Hex(0xE8F0F8), Hex(0x2A8AB8), Hex(0x1E4A7A)}, Hex(0x8AE0F0),
     Hex(0xF0E060), Hex(0x3A6A8A), Hex(0x2A5A7A), Hex(0xF0F4F4), EarShape::Pointed, false, false, false, false, 0.0f},
    // Gurrat: furred, with big round ears.
    {Hex(0x8A6A4A), {Hex(0x9A9A90), Hex(0x5A4A3A)}, {Hex(0x4A6A2A), Hex(0x6A5A3A), Hex(0x7A2A2A)}, Hex(0xC8A86A),
     Hex(0x2A1E1A), Hex(0xC88A8A), Hex(0x5A6A4A), Hex(0xF0E8D8), EarShape::Big, false, false, false, true, 0.2f},
};

uint64_t CharacterSeed(int32_t race, bool male, char variant)
{
    return 0x7468726EULL * static_cast<uint64_t>(race + 1) + (male ? 0x4D00u : 0x4600u) +
           static_cast<uint64_t>(static_cast<unsigned char>(variant));
}

namespace {

// Medium frame counts, handed out in turn so that every count from 1 to 12
// occurs, several of them above 10.
constexpr int32_t kMediumFrameCounts[] = {4, 12, 1, 7, 11, 3, 10, 6, 2, 9, 5, 8};
constexpr int32_t kShadeChoices[] = {7, 12, 16, 20, 24, 28}; // palettes of 64 to 253 colours

// The few portraits stored as 16-bit true-colour images in all three sizes.
bool IsTrueColour(const Identity& id)
{
    const Identity chosen[] = {{2, false, '2'}, {4, true, 'B'}, {10, false, '1'}, {11, true, '2'}};
    for (const Identity& c : chosen)
        if (c.race == id.race && c.male == id.male && c.variant == id.variant)
            return true;
    return false;
}

} // namespace

std::vector<Identity> RacePortraits(int32_t race)
{
    const Identity extras[] = {{0, true, 'A'}, {2, false, '3'}, {4, true, 'B'},
                               {6, false, 'A'}, {8, true, '3'}, {10, false, 'B'}};
    std::vector<Identity> ids = {{race, true, '1'}, {race, false, '1'}, {race, true, '2'}, {race, false, '2'}};
    for (const Identity& extra : extras)
        if (extra.race == race)
            ids.push_back(extra);
    return ids;
}

Character Cast(const Identity& id, int32_t serial)
{
    const RaceLook& race = kRaceLooks[id.race];
    CDemoRandom random(CharacterSeed(id.race, id.male, id.variant));
    Character who;
    who.race = id.race;
    who.male = id.male;
    who.variant = id.variant;

    static constexpr HairStyle kMaleHair[] = {HairStyle::Short, HairStyle::Bald, HairStyle::Crest,
                                              HairStyle::Long,  HairStyle::Hood, HairStyle::Braids};
    static constexpr HairStyle kFemaleHair[] = {HairStyle::Long, HairStyle::Bun, HairStyle::Braids, HairStyle::Short,
                                                HairStyle::Hood};
    who.hair = id.male ? kMaleHair[random.Below(6)] : kFemaleHair[random.Below(5)];
    if (race.scales && who.hair != HairStyle::Hood)
        who.hair = HairStyle::Crest; // scaled heads grow only a crest
    who.hairColour = race.hair[random.Below(2)];
    const int32_t variantNumber = static_cast<unsigned char>(id.variant);
    who.clothColour = race.cloth[(variantNumber + (id.male ? 1 : 0)) % 3];
    static constexpr Rgb kMetals[] = {Hex(0xD4AF37), Hex(0xC0C8D0), Hex(0xB0703A)};
    who.metalColour = kMetals[random.Below(3)];
    who.lipsColour = id.male ? race.lips : Mix(race.lips, Hex(0xC03848), 0.35f);

    static constexpr Neckline kMaleNecks[] = {Neckline::V, Neckline::HighCollar, Neckline::Robe};
    static constexpr Neckline kFemaleNecks[] = {Neckline::Scoop, Neckline::HighCollar, Neckline::Robe};
    who.neckline = id.male ? kMaleNecks[random.Below(3)] : kFemaleNecks[random.Below(3)];
    who.backdrop = static_cast<Backdrop>(random.Below(3));
    who.motion = static_cast<Motion>(serial % 5);

    const bool beardless = race.scales || race.fur || id.race == 10;
    who.beard = id.male && !beardless && who.hair != HairStyle::Hood && random.Chance(id.race == 3 ? 90 : 45);
    who.circlet = who.hair != HairStyle::Hood && random.Chance(30);
    who.earring = random.Chance(id.male ? 25 : 60);
    who.pauldrons = id.male && random.Chance(40);
    who.necklace = !id.male && who.neckline != Neckline::HighCollar && random.Chance(55);
    who.eyePatch = id.male && random.Chance(15);
    who.warPaint = (race.tusks || race.scales) && random.Chance(50);

    who.mediumFrames = kMediumFrameCounts[serial % 12];
    who.shades = kShadeChoices[random.Below(6)];
    who.trueColour = IsTrueColour(id);
    return who;
}

std::string EntryName(const ImageSize& size, const Identity& id)
{
    return std::string("PORTRAITS\\") + size.folder + "\\" + size.prefix + kRaceTable[id.race].code +
           (id.male ? 'M' : 'F') + id.variant + ".GFX";
}

} // namespace demo
