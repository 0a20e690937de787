// portrait-tool: the editor's commands from the command line. It runs the
// editor's own dialog on the headless host, so the scan, the selection, the
// commands and the saving are the very ones the window uses; the message
// boxes' texts are printed instead of shown. What a command wrote and how it
// ended come from the host's record of the dialog's effects.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CatalogueCommands.h"
#include "FindGamesCommand.h"
#include "ReplaceCommand.h"
#include "ToolSession.h"
#include "DemoGame.h"
#include "JsonText.h"
#include "PortraitEditorDlg.h"
#include "RaceTable.h"
#include "FileSystem.h"
#include "GameFolder.h"
#include "ProgramVersion.h"
#include "Resources.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: portrait-tool [--base DIR] list [--json]\n"
    "       portrait-tool [--base DIR] export-all PORTRAIT [--format tga|png]\n"
    "       portrait-tool [--base DIR] export PORTRAIT SLOT [--format tga|png]\n"
    "       portrait-tool [--base DIR] import PORTRAIT SLOT FILE [--use-tga-palette | --mode remap|keep|palette]\n"
    "                     [--metric classic|perceptual] [--dither] [--json]\n"
    "       portrait-tool [--base DIR] replace PORTRAIT PICTURE [PICTURE...] [--crop X,Y,W,H | --gravity centre|top]\n"
    "                     [--palette keep|new] [--metric classic|perceptual] [--dither] [--sizes large,medium,small]\n"
    "                     [--preview OUT.png] [--dry-run] [--json]\n"
    "       portrait-tool [--base DIR] status [--json]\n"
    "       portrait-tool [--base DIR] validate [--json]\n"
    "       portrait-tool [--base DIR] revert PORTRAIT [large|medium|small]\n"
    "       portrait-tool [--base DIR] pack [--dry-run] [--json]\n"
    "       portrait-tool [--base DIR] export-catalogue OUTDIR [--format png|tga] [--force] [--json]\n"
    "       portrait-tool [--base DIR] import-catalogue DIR [--mode remap|keep|palette] [--metric classic|perceptual]\n"
    "                     [--dither] [--dry-run] [--force] [--json]\n"
    "       portrait-tool make-demo DIR\n"
    "       portrait-tool find-games [--json]\n"
    "       portrait-tool --help | --version\n"
    "\n"
    "DIR is a game base directory (default: the current directory), holding\n"
    "DATA/DATA.QPK. PORTRAIT is the number the editor shows (1 for the first)\n"
    "or a portrait's name. SLOT is large, small, medium:N (MEDIUM frame N,\n"
    "any of them), or a drawing slot: 0 LARGE, 1 MEDIUM frame 0, 2 SMALL,\n"
    "3 to 11 MEDIUM frames 1 to 9.\n"
    "\n"
    "--format: the files exported (default tga). --mode: how a palette image\n"
    "takes the file's pixels: remap matches their colours to its palette\n"
    "(the default), keep takes an indexed file's indices as they are, palette\n"
    "takes the file's palette over (also --use-tga-palette). --metric and\n"
    "--dither: how remap matches colours (default classic, no dithering).\n"
    "replace: a new portrait from pictures (JPEG, WebP, PNG, BMP or TGA) in\n"
    "one step: the crop of each image's shape (given, or centred, or from the\n"
    "top) resized to each of its frames, remapped to its palette (keep) or to\n"
    "one new palette for all its frames with entry 0 kept (new); the first\n"
    "picture for LARGE, SMALL and MEDIUM frame 0, picture k for MEDIUM frame\n"
    "k (the last repeating); --preview writes a PNG sheet of the images as\n"
    "they land; --dry-run saves nothing; a picture that cannot be read\n"
    "changes nothing and exits 1.\n"
    "import says how many pixels lie far from the file's colours (OKLab\n"
    "distance over 0.05) and, with --mode palette, how many pixels of the\n"
    "image's other frames the file's palette recolours; --json adds how\n"
    "many pixels changed.\n"
    "\n"
    "A damaged override file is never used, exported from or packed: the\n"
    "archive's image is used in its place, and the file is named once on\n"
    "standard error. A save never overwrites an override file that another\n"
    "program put in place since it was loaded: it fails, naming it.\n"
    "\n"
    "status: where each image loads from (original, override, invalid\n"
    "override). validate: names damaged override files (problems), images\n"
    "that differ from the archive's (warnings) and .GFX files in Portraits\n"
    "that no entry uses. revert: moves the portrait's override files (of one\n"
    "size, or all) to Portraits/Reverted, so that the images load from the\n"
    "archive again. pack: leaves damaged files out and fails, naming them;\n"
    "--dry-run: what pack would put into PATCHES/PATCH.010, and from which\n"
    "file, writing nothing. export-catalogue: every frame of every\n"
    "portrait, from where the editor loads it, into OUTDIR/<portrait>/ (png\n"
    "by default), with OUTDIR/manifest.json naming each file and its SHA-256;\n"
    "an OUTDIR that holds a manifest is refused unless --force.\n"
    "import-catalogue: every file listed in DIR/manifest.json whose bytes\n"
    "changed is imported into its portrait, size and frame (--mode, --metric\n"
    "and --dither as for import), and each image with a changed frame is\n"
    "saved once; a manifest of another game archive is refused unless\n"
    "--force; --dry-run reports what would be imported and writes nothing.\n"
    "While export-catalogue and import-catalogue work, \"[i/N] NAME\" shows\n"
    "on standard error when it is a terminal.\n"
    "find-games: the game folders on this computer, one a line with where\n"
    "each was found (a Steam library, a Wine prefix, Lutris, Heroic, Bottles,\n"
    "GOG), as the window offers them when it starts without one; it looks\n"
    "at most four folders down from each place and for 300 ms in all.\n"
    "\n"
    "Exit status: 0 done, 1 failed (the reason on standard error; an export\n"
    "that wrote nothing fails too, and so do an import-catalogue in which\n"
    "any file failed, a pack that left a file out and a find-games that\n"
    "found no game folder), 2 wrong usage, 3\n"
    "validate found problems.\n";

int Usage(const char* problem = nullptr)
{
    if (problem)
        std::fprintf(stderr, "portrait-tool: %s\n", problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int Fail(const std::string& reason)
{
    std::fprintf(stderr, "%s\n", reason.c_str());
    return kExitFailed;
}

using Outcome = CommandEffects::Outcome;

// The files a command wrote, each once, in the order of their paths.
void PrintWritten(const CommandEffects& effects)
{
    const std::set<std::string> paths(effects.written.begin(), effects.written.end());
    for (const std::string& path : paths)
        std::printf("%s\n", path.c_str());
}

// The text of the last message a command showed, or the fallback.
std::string LastMessage(const CommandEffects& effects, const char* fallback)
{
    return effects.messages.empty() ? fallback : effects.messages.back().text;
}

int List(CToolSession& s, bool json)
{
    CPortraitEditorDlg& d = s.dialog;
    if (json)
        std::printf("[");
    for (int32_t i = 0; i < d.PortraitCount(); ++i) {
        const PortraitRecord& r = *d.Record(i);
        if (json) {
            std::printf("%s\n  {\"index\": %d, \"race\": %d, \"raceName\": %s, \"male\": %s, \"variant\": %s, "
                        "\"name\": %s, \"entries\": [%d, %d, %d]}",
                        i ? "," : "", i, r.race, JsonString(GetRaceName(r.race)).c_str(), r.male ? "true" : "false",
                        JsonString(r.variant ? std::string(1, r.variant) : std::string()).c_str(),
                        JsonString(r.GetName()).c_str(), r.entryIndex[0], r.entryIndex[1], r.entryIndex[2]);
            continue;
        }
        // The images are loaded to tell their frames and format.
        s.Select(i);
        std::string line;
        char buf[160];
        std::snprintf(buf, sizeof buf, "%3d  %-8s %-6s %-2s %-16s", i + 1, GetRaceName(r.race).c_str(),
                      r.male ? "male" : "female", r.variant ? std::string(1, r.variant).c_str() : "-",
                      r.GetName().c_str());
        line = buf;
        for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
            if (r.entryIndex[size] < 0) {
                std::snprintf(buf, sizeof buf, "  %s -", kSizeNames[size]);
            } else {
                const CPortraitImage& image = d.Image(size);
                int32_t width = 0, height = 0;
                image.GetFrameSize(0, width, height);
                std::snprintf(buf, sizeof buf, "  %s #%d %dx %dx%dx%d", kSizeNames[size], r.entryIndex[size],
                              image.Header().FrameCount(), width, height, image.Header().BitDepth());
            }
            line += buf;
        }
        std::printf("%s\n", line.c_str());
    }
    if (json)
        std::printf("%s]\n", d.PortraitCount() ? "\n" : "");
    return kExitOk;
}

// The options that follow a command's arguments.
struct CommandOptions {
    ExportFormat format = ExportFormat::kTga;
    ImportOptions import;
    bool json = false; // import's report as JSON
};

// Reads the options at `args`; an empty string when they are right, else
// what is wrong with them. An import takes the import options, an export
// the format.
std::string ParseOptions(const std::vector<std::string>& args, bool import, CommandOptions& options)
{
    std::set<std::string> given;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& name = args[k];
        const bool valued = import ? name == "--mode" || name == "--metric" : name == "--format";
        const bool flag = import && (name == "--use-tga-palette" || name == "--dither" || name == "--json");
        if (!valued && !flag)
            return "unknown option " + name;
        if (!given.insert(name).second)
            return name + " given twice";
        if (flag) {
            if (name == "--use-tga-palette")
                options.import.mode = ImportMode::kFilePalette;
            else if (name == "--json")
                options.json = true;
            else
                options.import.dither = true;
            continue;
        }
        if (++k >= args.size())
            return name + " needs a value";
        const std::string& value = args[k];
        if (name == "--format" && (value == "tga" || value == "png"))
            options.format = value == "png" ? ExportFormat::kPng : ExportFormat::kTga;
        else if (name == "--mode" && (value == "remap" || value == "keep" || value == "palette"))
            options.import.mode = value == "keep"      ? ImportMode::kKeepIndices
                                  : value == "palette" ? ImportMode::kFilePalette
                                                       : ImportMode::kRemap;
        else if (name == "--metric" && (value == "classic" || value == "perceptual"))
            options.import.metric = value == "perceptual" ? ColourMetric::kPerceptual : ColourMetric::kClassic;
        else
            return "unknown value " + value + " for " + name;
    }
    if (given.count("--use-tga-palette") && given.count("--mode"))
        return "--use-tga-palette and --mode cannot be given together";
    return {};
}

bool ParseSlot(const std::string& text, SlotChoice& choice)
{
    choice = SlotChoice{};
    if (text == "large" || text == "small") {
        choice.size = text == "large" ? kSizeLarge : kSizeSmall;
        return true;
    }
    const std::string medium = "medium:";
    const bool named = text.compare(0, medium.size(), medium) == 0;
    const std::string number = named ? text.substr(medium.size()) : text;
    char* end = nullptr;
    const long value = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || !end || *end != '\0' || value < 0)
        return false;
    if (named) {
        if (value > 255)
            return false;
        choice.size = kSizeMedium;
        choice.frame = static_cast<int32_t>(value);
        return true;
    }
    if (value >= CPortraitEditorDlg::kSlotCount)
        return false;
    choice.slot = static_cast<int32_t>(value);
    return true;
}

bool ParseSize(const std::string& text, PortraitSize& size)
{
    for (PortraitSize k = kSizeLarge; k < kSizeCount; ++k) {
        std::string name = kSizeNames[k];
        for (char& c : name)
            c = static_cast<char>(c - 'A' + 'a');
        if (text == name) {
            size = k;
            return true;
        }
    }
    return false;
}

int Run(const std::vector<std::string>& args)
{
    size_t at = 0;
    std::optional<std::string> base;
    if (at < args.size() && args[at] == "--base") {
        if (at + 1 >= args.size())
            return Usage("--base needs a directory");
        base = args[at + 1];
        at += 2;
    }
    if (at >= args.size())
        return Usage();
    const std::string command = args[at++];
    std::vector<std::string> rest(args.begin() + static_cast<long>(at), args.end());

    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("portrait-tool %s\n\n%s\n", kProgramVersion, FormatResourceString(IDS_LICENCES, {""}).c_str());
        return kExitOk;
    }
    if (command == "make-demo") {
        if (base || rest.size() != 1)
            return Usage("make-demo takes one directory");
        std::string error;
        if (!MakeDemoGame(rest[0], error))
            return Fail("make-demo: " + error);
        std::printf("Demo game written to %s\n", rest[0].c_str());
        return kExitOk;
    }

    if (command == "find-games") {
        bool json = false;
        const std::string problem = ParseFindGames(rest, json);
        if (base || !problem.empty())
            return Usage(base ? "find-games takes no --base" : problem.c_str());
        return RunFindGames(json);
    }

    // Check the command's form before anything is touched.
    bool json = false, dryRun = false, force = false, revertAll = true;
    PortraitSize revertSize = kSizeLarge;
    CommandOptions options;
    SlotChoice slot;
    ReplaceArguments replace;
    if (command == "list") {
        if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--json"))
            return Usage("list takes only --json");
        json = rest.size() == 1;
    } else if (command == "export-all" || command == "export" || command == "import") {
        // The arguments first, then the options.
        const size_t want = command == "export-all" ? 1 : command == "export" ? 2 : 3;
        size_t given = 0;
        while (given < rest.size() && given < want && rest[given].compare(0, 2, "--") != 0)
            ++given;
        if (given != want)
            return Usage(want == 1 ? "export-all takes one portrait"
                                   : (command + " takes a portrait, a slot" + (want == 3 ? " and a file" : "")).c_str());
        const std::vector<std::string> flags(rest.begin() + static_cast<long>(want), rest.end());
        const std::string problem = ParseOptions(flags, command == "import", options);
        if (!problem.empty())
            return Usage(problem.c_str());
        rest.resize(want);
    } else if (command == "pack" || command == "status" || command == "validate") {
        const bool pack = command == "pack";
        std::set<std::string> flags;
        for (const std::string& flag : rest)
            if ((flag != "--json" && (!pack || flag != "--dry-run")) || !flags.insert(flag).second)
                return Usage((command + (pack ? " takes only --dry-run and --json" : " takes only --json")).c_str());
        json = flags.count("--json") != 0;
        dryRun = flags.count("--dry-run") != 0;
    } else if (command == "export-catalogue") {
        if (rest.empty() || rest[0].compare(0, 2, "--") == 0)
            return Usage("export-catalogue takes an output folder");
        options.format = ExportFormat::kPng;
        std::set<std::string> flags;
        for (size_t k = 1; k < rest.size(); ++k) {
            const std::string& flag = rest[k];
            if (!flags.insert(flag).second)
                return Usage((flag + " given twice").c_str());
            if (flag == "--format" && k + 1 < rest.size() && (rest[k + 1] == "png" || rest[k + 1] == "tga"))
                options.format = rest[++k] == "tga" ? ExportFormat::kTga : ExportFormat::kPng;
            else if (flag != "--force" && flag != "--json")
                return Usage("export-catalogue takes only --format png|tga, --force and --json");
        }
        json = flags.count("--json") != 0;
        force = flags.count("--force") != 0;
    } else if (command == "import-catalogue") {
        if (rest.empty() || rest[0].compare(0, 2, "--") == 0)
            return Usage("import-catalogue takes the folder of an exported catalogue");
        std::vector<std::string> importFlags;
        std::set<std::string> flags;
        for (size_t k = 1; k < rest.size(); ++k) {
            const std::string& flag = rest[k];
            if (flag == "--dry-run" || flag == "--force" || flag == "--json") {
                if (!flags.insert(flag).second)
                    return Usage((flag + " given twice").c_str());
            } else if (flag == "--use-tga-palette") {
                return Usage("import-catalogue takes --mode palette for the file's palette");
            } else {
                importFlags.push_back(flag);
            }
        }
        const std::string problem = ParseOptions(importFlags, true, options);
        if (!problem.empty())
            return Usage(problem.c_str());
        json = flags.count("--json") != 0;
        dryRun = flags.count("--dry-run") != 0;
        force = flags.count("--force") != 0;
    } else if (command == "replace") {
        const std::string problem = ParseReplace(rest, replace);
        if (!problem.empty())
            return Usage(problem.c_str());
        for (std::string& picture : replace.request.pictures)
            if (!picture.empty() && picture[0] != '/')
                picture = CFileSystem::GetCurrentDir() + "/" + picture;
        if (!replace.preview.empty() && replace.preview[0] != '/')
            replace.preview = CFileSystem::GetCurrentDir() + "/" + replace.preview;
    } else if (command == "revert") {
        if (rest.empty() || rest.size() > 2)
            return Usage("revert takes a portrait and, if wanted, a size");
        if (rest.size() == 2 && !ParseSize(rest[1], revertSize))
            return Usage(("unknown size " + rest[1] + " (large, medium or small)").c_str());
        revertAll = rest.size() == 1;
    } else {
        return Usage(("unknown command " + command).c_str());
    }

    std::string hostPath;
    if (command == "import" || command == "export-catalogue" || command == "import-catalogue") {
        // The file or folder is named relative to where the tool was started.
        hostPath = rest[command == "import" ? 2 : 0];
        if (!hostPath.empty() && hostPath[0] != '/')
            hostPath = CFileSystem::GetCurrentDir() + "/" + hostPath;
    }
    if (base && !CFileSystem::SetCurrentDir(*base))
        return Fail("cannot change to the base directory " + *base + ": " + std::strerror(errno));

    CToolSession s;
    // Without the archive there is nothing to work on; with too many
    // portraits, those found are still worked on.
    if (const CommandEffects::Message* missing = s.Effects().Find(IDS_ARCHIVE_NOT_FOUND))
        return Fail(missing->text);
    std::optional<std::string> tooMany;
    if (const CommandEffects::Message* m = s.Effects().Find(IDS_TOO_MANY_PORTRAITS))
        tooMany = m->text;

    if (command == "replace")
        return RunReplace(s, replace);
    if (command == "list") {
        List(s, json);
        return tooMany ? Fail(*tooMany) : kExitOk;
    }
    if (command == "status") {
        PrintStatus(s.dialog.CatalogueOperations().Status(), json);
        return tooMany ? Fail(*tooMany) : kExitOk;
    }
    if (command == "validate") {
        const int status = PrintValidation(s.dialog.CatalogueOperations().Validate(), json);
        return tooMany && status == kExitOk ? Fail(*tooMany) : status;
    }
    if (command == "export-catalogue" || command == "import-catalogue") {
        const CCatalogueOperations operations = s.dialog.CatalogueOperations();
        const CatalogueProgress progress = TerminalProgress();
        int status = kExitOk;
        if (command == "export-catalogue") {
            const CatalogueExportResult result = operations.ExportCatalogue(hostPath, options.format, force, progress);
            EndTerminalProgress();
            s.SayNotes(result.notUsed);
            status = PrintCatalogueExport(result, json);
        } else {
            const CatalogueImportResult result =
                operations.ImportCatalogue(hostPath, options.import, dryRun, force, progress);
            EndTerminalProgress();
            s.SayNotes(result.notUsed);
            status = PrintCatalogueImport(result, json);
        }
        return tooMany && status == kExitOk ? Fail(*tooMany) : status;
    }
    const std::string target = CFileSystem::ResolvePath(CCatalogueOperations::PackTarget(s.dialog.BaseDir()));
    if (command == "pack" && dryRun)
        return PrintPackSources(s.dialog.CatalogueOperations().PackSources(), target, false, json);
    if (command == "pack") {
        // The tool never makes PATCHES itself: it says how to.
        const std::string patches = CFileSystem::ResolvePath(CGameFolder(s.dialog.BaseDir()).PatchesFolder());
        if (!CFileSystem::PathExists(patches)) {
            const std::string why = patches + ": the PATCHES folder does not exist; create it (mkdir \"" + patches +
                                    "\") and run pack again.";
            if (json)
                std::printf("{\"archive\": %s, \"written\": false, \"reason\": %s}\n", JsonString(target).c_str(),
                            JsonString(why).c_str());
            return Fail(why);
        }
        // Written, perhaps without damaged files: what it met is listed.
        const CommandEffects& packed = s.Give(IDC_CREATE_ARCHIVE);
        const CommandEffects::Message* leftOut = packed.Find(IDS_PACK_LEFT_OUT);
        if (packed.Result(CommandEffects::kPack) != Outcome::kDone && !leftOut) {
            const std::string why = LastMessage(packed, "The patch archive was not written.");
            if (json)
                std::printf("{\"archive\": %s, \"written\": false, \"reason\": %s}\n", JsonString(target).c_str(),
                            JsonString(why).c_str());
            return Fail(why);
        }
        const std::vector<PackSource> sources = s.dialog.CatalogueOperations().PackSources();
        if (json)
            return PrintPackSources(sources, target, true, true);
        if (leftOut)
            return Fail(leftOut->text);
        for (const PackSource& source : sources)
            for (const std::string& warning : source.warnings)
                std::fprintf(stderr, "%s: warning: %s\n", source.resolvedPath.c_str(), warning.c_str());
        std::printf("%s\n", LoadResourceString(IDS_ARCHIVE_CREATED).c_str());
        return kExitOk;
    }

    const int32_t portrait = s.FindPortrait(rest[0]);
    if (portrait < 0)
        return Fail("unknown portrait " + rest[0] + " (see portrait-tool list)");
    if (command == "revert")
        return PrintRevert(s.dialog.CatalogueOperations().Revert(portrait, revertAll, revertSize, std::time(nullptr)),
                           s.dialog.Record(portrait)->GetName());
    if (command != "export-all" && !ParseSlot(rest[1], slot))
        return Fail("unknown slot " + rest[1] + " (large, small, medium:N, or 0 to 11)");
    s.Select(portrait);
    if (command != "export-all" && !s.Pick(slot))
        return Fail("portrait " + rest[0] + " has no frame " + rest[1]);

    if (command == "export-all" || command == "export") {
        s.dialog.SetExportFormat(options.format);
        const CommandEffects& exported = s.Give(command == "export" ? IDC_EXPORT : IDC_EXPORT_ALL);
        PrintWritten(exported);
        if (exported.Result(CommandEffects::kExport) == Outcome::kDone) {
            std::printf("%s\n", LoadResourceString(IDS_PORTRAIT_SAVED).c_str());
            return kExitOk;
        }
        // Nothing to export, or a file that could not be written.
        return Fail(LastMessage(exported, "Nothing was exported."));
    }

    // import
    s.dialog.SetImportOptions(options.import);
    const CommandEffects& imported = s.Import(hostPath);
    if (imported.Result(CommandEffects::kImport) == Outcome::kFailed) {
        return Fail(LastMessage(imported, "The file could not be imported.")); // closed without saving
    }
    const ImportReport report = s.dialog.Model().LastImport();
    const std::string name = s.dialog.Record(portrait)->GetName();
    if (!options.json)
        PrintImport(report);
    const CommandEffects& quit = s.Give(IDOK); // Quit: the changed images are saved
    if (quit.Result(CommandEffects::kSave) == Outcome::kFailed) {
        // The dialog said which image could not be saved and why; asked
        // whether to quit and lose it, the tool keeps the default, No.
        // The window's advice to fix the cause and move on again does not
        // fit a tool that ends here.
        PrintWritten(quit);
        std::string why = quit.messages.empty() ? std::string() : quit.messages.front().text;
        why = why.substr(0, why.find("\n" + LoadResourceString(IDS_CHANGE_KEPT)));
        return Fail("The changed image could not be saved into " +
                    CFileSystem::ResolvePath(CGameFolder(s.dialog.BaseDir()).PortraitsFolder()) + "." + (why.empty() ? "" : "\n" + why) +
                    "\nThe change was not saved.");
    }
    if (options.json)
        PrintImportJson(report, name, std::vector<std::string>(quit.written.begin(), quit.written.end()));
    else
        PrintWritten(quit);
    return kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    // A command that throws stops with a reason and exit status 1. Files it
    // was writing are temporary files until complete, and unwinding removes
    // them, so nothing is left half-written.
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        return Run(args);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "portrait-tool: not enough memory to finish the command.\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "portrait-tool: the command stopped: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "portrait-tool: the command stopped on an unexpected error.\n");
    }
    return kExitFailed;
}
