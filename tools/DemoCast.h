// Who is in the demo game: the races' colours and build, the characters drawn
// from them, and the entry names under which their portraits are stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DemoColour.h"
#include "RaceTable.h"

namespace demo {

// Sizes of the three portrait images. The widths are deliberately not
// multiples of 4, so that every load goes through the row widening.
struct ImageSize {
    int32_t width;
    int32_t height;
    char prefix;        // first character of the file name; it keeps the override files of the sizes apart
    const char* folder; // the size word the catalogue looks for
};

inline constexpr ImageSize kLarge{179, 143, 'L', "LARGE"};
inline constexpr ImageSize kMedium{91, 71, 'M', "MEDIUM"};
inline constexpr ImageSize kSmall{47, 35, 'S', "SMALL"};

enum class EarShape { Round, Pointed, LongPointed, Big, None };
enum class HairStyle { Short, Long, Bun, Crest, Bald, Braids, Hood };
enum class Neckline { V, Scoop, HighCollar, Robe };
enum class Backdrop { Glow, Bricks, Drapes };
enum class Motion { Blink, Talk, Turn, Flicker, Glance };

// The colours and build of one race; the order is that of the race table.
struct RaceLook {
    Rgb skin;
    Rgb hair[2];
    Rgb cloth[3];
    Rgb trim;
    Rgb iris;
    Rgb lips;
    Rgb backdrop;
    Rgb ivory;
    EarShape ears;
    bool tusks;
    bool horns;
    bool scales;
    bool fur;
    float jaw; // 0 a narrow chin, up to 1 a heavy square jaw
};

extern const RaceLook kRaceLooks[kRaceCount];

// The seed of everything chosen at random about one character.
uint64_t CharacterSeed(int32_t race, bool male, char variant);

// One portrait of the demo: who it shows and how it is drawn.
struct Character {
    int32_t race = 0;
    bool male = true;
    char variant = '1';
    bool skull = false; // the dead character's picture, which the editor must skip

    HairStyle hair = HairStyle::Short;
    Neckline neckline = Neckline::V;
    Backdrop backdrop = Backdrop::Glow;
    Motion motion = Motion::Blink;
    Rgb hairColour{};
    Rgb clothColour{};
    Rgb metalColour{};
    Rgb lipsColour{};
    bool beard = false;
    bool circlet = false;
    bool earring = false;
    bool pauldrons = false;
    bool necklace = false;
    bool eyePatch = false;
    bool warPaint = false;

    int32_t mediumFrames = 1;
    int32_t shades = 16; // shades per material ramp: the palette holds 1 + 9 x shades colours
    bool trueColour = false;
};

struct Identity {
    int32_t race;
    bool male;
    char variant;
};

// The portraits of one race, in archive order: four (both genders, variants
// 1 and 2), and a fifth for some races, with letters for variants.
std::vector<Identity> RacePortraits(int32_t race);

// The character of one portrait; serial is its place among all portraits.
Character Cast(const Identity& id, int32_t serial);

// The file name of one size of a portrait: the size's letter, the race code,
// the gender letter two places before the dot and the variant just before it.
std::string EntryName(const ImageSize& size, const Identity& id);

} // namespace demo
