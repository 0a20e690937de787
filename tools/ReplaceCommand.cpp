#include "ReplaceCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "CommandMessages.h"
#include "JsonText.h"
#include "PngFile.h"
#include "Resources.h"
#include "ShownPixels.h"
#include "ToolSession.h"

namespace {

// "X,Y,W,H" of whole numbers, the size not 0.
bool ParseCrop(const std::string& text, CropRect& crop)
{
    int32_t values[4] = {};
    size_t at = 0;
    for (int k = 0; k < 4; ++k) {
        char* end = nullptr;
        const long value = std::strtol(text.c_str() + at, &end, 10);
        const size_t used = static_cast<size_t>(end - (text.c_str() + at));
        if (used == 0 || value < 0 || value > 1'000'000)
            return false;
        values[k] = static_cast<int32_t>(value);
        at += used;
        if (k < 3 && (at >= text.size() || text[at++] != ','))
            return false;
    }
    crop = {values[0], values[1], values[2], values[3]};
    return at == text.size() && crop.width > 0 && crop.height > 0;
}

// "large,medium,small" or any of them.
bool ParseSizes(const std::string& text, bool (&sizes)[kSizeCount])
{
    for (bool& s : sizes)
        s = false;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string name = text.substr(start, comma - start);
        if (name == "large" || name == "medium" || name == "small")
            sizes[name == "large" ? kSizeLarge : name == "medium" ? kSizeMedium : kSizeSmall] = true;
        else
            return false;
        start = comma + 1;
    }
    return true;
}

// A sheet of the images as they landed: LARGE, every MEDIUM frame, SMALL,
// side by side on the dialog's grey, 4 pixels apart, as an RGB PNG file.
bool WritePreviewSheet(const CEditorModel& model, const std::string& path)
{
    struct Shown {
        int32_t width, height;
        std::vector<uint32_t> pixels;
    };
    std::vector<Shown> frames;
    for (PortraitSize size : {kSizeLarge, kSizeMedium, kSizeSmall}) {
        const CPortraitImage& image = model.Image(size);
        for (int32_t f = 0; f < image.FrameCount(); ++f) {
            Shown shown{0, 0, ShownPixels(image, f)};
            image.GetFrameSize(f, shown.width, shown.height);
            if (!shown.pixels.empty() && shown.pixels.size() == static_cast<size_t>(shown.width) * shown.height)
                frames.push_back(std::move(shown));
        }
    }
    constexpr int32_t kGap = 4;
    int32_t width = kGap, height = 0;
    for (const Shown& s : frames) {
        width += s.width + kGap;
        height = std::max(height, s.height + 2 * kGap);
    }
    if (frames.empty())
        return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0xC0);
    int32_t left = kGap;
    for (const Shown& s : frames) {
        for (int32_t y = 0; y < s.height; ++y)
            for (int32_t x = 0; x < s.width; ++x) {
                const uint32_t v = s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
                uint8_t* to = &rgb[(static_cast<size_t>(y + kGap) * static_cast<size_t>(width) + static_cast<size_t>(left + x)) * 3];
                to[0] = static_cast<uint8_t>(v >> 16);
                to[1] = static_cast<uint8_t>(v >> 8);
                to[2] = static_cast<uint8_t>(v);
            }
        left += s.width + kGap;
    }
    return WriteRgbPng(path, width, height, rgb.data(), static_cast<size_t>(width) * 3);
}

} // namespace

std::string ParseReplace(const std::vector<std::string>& rest, ReplaceArguments& out)
{
    size_t k = 0;
    for (; k < rest.size() && rest[k].compare(0, 2, "--") != 0; ++k)
        (k == 0 ? out.portrait : out.request.pictures.emplace_back()) = rest[k];
    if (out.portrait.empty() || out.request.pictures.empty())
        return "replace takes a portrait and one or more pictures";
    std::set<std::string> given;
    for (; k < rest.size(); ++k) {
        const std::string& name = rest[k];
        if (!given.insert(name).second)
            return name + " given twice";
        if (name == "--dry-run" || name == "--json" || name == "--dither") {
            (name == "--dry-run" ? out.dryRun : name == "--json" ? out.json : out.request.options.dither) = true;
            continue;
        }
        if (++k >= rest.size())
            return name + " needs a value";
        const std::string& value = rest[k];
        if (name == "--crop" && ParseCrop(value, out.request.crop.emplace()))
            continue;
        if (name == "--gravity" && (value == "centre" || value == "top"))
            out.request.gravity = value == "top" ? CropGravity::kTop : CropGravity::kCentre;
        else if (name == "--metric" && (value == "classic" || value == "perceptual"))
            out.request.options.metric = value == "perceptual" ? ColourMetric::kPerceptual : ColourMetric::kClassic;
        else if (name == "--palette" && (value == "keep" || value == "new"))
            out.request.newPalette = value == "new";
        else if (name == "--sizes" && ParseSizes(value, out.request.sizes))
            continue;
        else if (name == "--preview" && !value.empty())
            out.preview = value;
        else
            return "unknown option or value: " + name + " " + value;
    }
    if (given.count("--crop") && given.count("--gravity"))
        return "--crop and --gravity cannot be given together";
    return {};
}

int RunReplace(CToolSession& s, const ReplaceArguments& arguments)
{
    const int32_t portrait = s.FindPortrait(arguments.portrait);
    if (portrait < 0) {
        std::fprintf(stderr, "unknown portrait %s (see portrait-tool list)\n", arguments.portrait.c_str());
        return 1;
    }
    s.Select(portrait);
    const PictureReplaceResult r = CPortraitFromPicture(s.dialog.Model()).Replace(arguments.request);
    if (r.result != PictureReplaceResult::kOk) {
        std::fprintf(stderr, "Nothing was replaced: %s.\n", r.reason.c_str());
        return 1;
    }
    if (!arguments.preview.empty() && !WritePreviewSheet(s.dialog.Model(), arguments.preview)) {
        std::fprintf(stderr, "The preview could not be written to %s; nothing was saved.\n", arguments.preview.c_str());
        return 1;
    }
    std::vector<std::string> saved;
    if (!arguments.dryRun) {
        const CommandEffects& quit = s.Give(IDOK); // Quit: the changed images are saved
        saved.assign(quit.written.begin(), quit.written.end());
        if (quit.Result(CommandEffects::kSave) == CommandEffects::Outcome::kFailed) {
            std::fprintf(stderr, "%s\nThe new portrait was not saved.\n",
                         quit.messages.empty() ? "" : quit.messages.front().text.c_str());
            return 1;
        }
    }
    const std::string name = s.dialog.Record(portrait)->GetName();
    if (arguments.json) {
        std::printf("{\"portrait\": %s, \"dryRun\": %s, \"images\": [", JsonString(name).c_str(),
                    arguments.dryRun ? "true" : "false");
        for (size_t i = 0; i < r.images.size(); ++i) {
            const PictureReplaceImage& image = r.images[i];
            std::printf("%s\n  {\"size\": \"%s\", \"palette\": \"%s\", \"frames\": %d, \"farPixels\": %lld, "
                        "\"largestDistance\": %s}",
                        i ? "," : "", kSizeNames[image.size],
                        !image.palette ? "true colour" : arguments.request.newPalette ? "new" : "keep", image.frames,
                        static_cast<long long>(image.farPixels), DistanceText(image.largestDistance).c_str());
        }
        std::printf("\n], \"saved\": [");
        for (size_t i = 0; i < saved.size(); ++i)
            std::printf("%s%s", i ? ", " : "", JsonString(saved[i]).c_str());
        std::printf("]}\n");
        return 0;
    }
    for (const PictureReplaceImage& image : r.images)
        std::printf("%s: %d frame%s %s, %lld pixels far from the picture's colours (largest OKLab distance %s)\n",
                    kSizeNames[image.size], image.frames, image.frames == 1 ? "" : "s",
                    !image.palette                   ? "in true colour"
                    : arguments.request.newPalette ? "in a new palette"
                                                   : "in the image's palette",
                    static_cast<long long>(image.farPixels), DistanceText(image.largestDistance).c_str());
    for (const std::string& path : saved)
        std::printf("%s\n", path.c_str());
    if (arguments.dryRun)
        std::printf("Nothing was saved (--dry-run).\n");
    return 0;
}
