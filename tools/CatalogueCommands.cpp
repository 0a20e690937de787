#include "CatalogueCommands.h"

#include <cstdio>

#include "CommandMessages.h"
#include "FileSystem.h"
#include "JsonText.h"
#include "Resources.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

} // namespace

void PrintStatus(const std::vector<PortraitStatus>& statuses, bool json)
{
    if (json)
        std::printf("[");
    for (const PortraitStatus& s : statuses) {
        if (json)
            std::printf("%s\n  {\"index\": %d, \"name\": %s, \"images\": [", s.index ? "," : "", s.index,
                        JsonString(s.name).c_str());
        bool first = true;
        for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
            if (!s.has[size])
                continue;
            const std::string source = ImageSourceName(s.source[size]);
            if (json) {
                std::printf("%s{\"size\": \"%s\", \"status\": \"%s\"", first ? "" : ", ", kSizeNames[size], source.c_str());
                if (s.source[size] != ImageSource::kOriginal)
                    std::printf(", \"file\": %s", JsonString(s.overridePath[size]).c_str());
                std::printf("}");
            } else {
                std::printf("%3d  %-16s %-6s  %s\n", s.index + 1, s.name.c_str(), kSizeNames[size], source.c_str());
            }
            first = false;
        }
        if (json)
            std::printf("]}");
    }
    if (json)
        std::printf("%s]\n", statuses.empty() ? "" : "\n");
}

int PrintValidation(const ValidationReport& report, bool json)
{
    if (!report.ran) {
        std::fprintf(stderr, "There is no catalogue to check the override files against.\n");
        return kExitFailed;
    }
    const auto list = [](const std::vector<ValidationProblem>& items, const char* field) {
        for (size_t i = 0; i < items.size(); ++i)
            std::printf("%s\n  {\"file\": %s, \"%s\": %s}", i ? "," : "", JsonString(items[i].path).c_str(), field,
                        JsonString(items[i].fault).c_str());
        std::printf("%s]", items.empty() ? "" : "\n");
    };
    if (json) {
        std::printf("{\"checked\": %d, \"valid\": %s, \"problems\": [", report.checked,
                    report.problems.empty() ? "true" : "false");
        list(report.problems, "problem");
        std::printf(", \"warnings\": [");
        list(report.warnings, "warning");
        std::printf("}\n");
    } else {
        for (const ValidationProblem& p : report.problems)
            std::printf("%s: %s\n", p.path.c_str(), p.fault.c_str());
        for (const ValidationProblem& w : report.warnings)
            std::printf("%s: warning: %s\n", w.path.c_str(), w.fault.c_str());
        const size_t problems = report.problems.size(), warnings = report.warnings.size();
        if (problems == 0 && warnings == 0)
            std::printf("All override files are valid.\n");
        else if (problems == 0)
            std::printf("No problems; %zu warning%s: those images differ from the archive's and are used all the same.\n",
                        warnings, warnings == 1 ? "" : "s");
        else
            std::printf("%zu problem%s found in the override files (damaged files are not used)%s.\n", problems,
                        problems == 1 ? "" : "s",
                        warnings ? ("; " + std::to_string(warnings) + " warning" + (warnings == 1 ? "" : "s")).c_str()
                                 : "");
    }
    return report.problems.empty() ? kExitOk : kExitProblemsFound;
}

int PrintRevert(const RevertResult& result, const std::string& portraitName)
{
    for (const RevertedFile& file : result.moved)
        std::printf("%s -> %s\n", file.from.c_str(), file.to.c_str());
    if (result.result == RevertResult::kCannotCreateFolder) {
        std::fprintf(stderr, "The folder %s could not be made; nothing more was moved.\n", result.failedPath.c_str());
        return kExitFailed;
    }
    if (result.result == RevertResult::kFolderBusy) {
        std::fprintf(stderr, "Another program kept %s busy; nothing was moved. Try again.\n", result.failedPath.c_str());
        return kExitFailed;
    }
    if (result.result != RevertResult::kOk) {
        std::fprintf(stderr, "%s could not be moved; it is left where it was.\n", result.failedPath.c_str());
        return kExitFailed;
    }
    if (result.moved.empty())
        std::printf("%s has no override files; nothing was moved.\n", portraitName.c_str());
    return kExitOk;
}

int PrintPackSources(const std::vector<PackSource>& sources, const std::string& target, bool written, bool json)
{
    size_t taken = 0;
    for (const PackSource& s : sources)
        taken += s.taken ? 1 : 0;
    if (json) {
        std::printf("{\"archive\": %s, \"written\": %s, \"entries\": [", JsonString(target).c_str(),
                    written ? "true" : "false");
        const char* separator = "";
        for (const PackSource& s : sources)
            if (s.taken) {
                std::printf("%s\n  {\"entry\": %s, \"file\": %s}", separator, JsonString(s.entryName).c_str(),
                            JsonString(s.resolvedPath).c_str());
                separator = ",";
            }
        std::printf("%s], \"leftOut\": [", *separator ? "\n" : "");
        separator = "";
        for (const PackSource& s : sources)
            if (!s.taken) {
                std::printf("%s{\"file\": %s, \"reason\": %s}", separator, JsonString(s.resolvedPath).c_str(),
                            JsonString(s.reason).c_str());
                separator = ", ";
            }
        std::printf("], \"warnings\": [");
        separator = "";
        for (const PackSource& s : sources)
            for (const std::string& warning : s.warnings) {
                std::printf("%s{\"file\": %s, \"warning\": %s}", separator, JsonString(s.resolvedPath).c_str(),
                            JsonString(warning).c_str());
                separator = ", ";
            }
        std::printf("]}\n");
    } else {
        for (const PackSource& s : sources) {
            if (s.taken)
                std::printf("%s <- %s\n", s.entryName.c_str(), s.resolvedPath.c_str());
            for (const std::string& warning : s.warnings)
                std::fprintf(stderr, "%s: warning: %s\n", s.resolvedPath.c_str(), warning.c_str());
            if (!s.taken)
                std::fprintf(stderr, "left out, it is damaged: %s: %s\n", s.resolvedPath.c_str(), s.reason.c_str());
        }
        std::printf("%s %zu entr%s into %s.\n", written ? "Packed" : "Would pack", taken, taken == 1 ? "y" : "ies",
                    target.c_str());
    }
    // A patch without a file the modder made is a failure, said as one.
    return taken == sources.size() ? kExitOk : kExitFailed;
}

int PrintCatalogueExport(const CatalogueExportResult& r, bool json)
{
    using R = CatalogueExportResult;
    const std::string manifest = "has no manifest: " + r.reason;
    const char* refusal = r.result == R::kManifestExists      ? "holds a manifest already (--force writes over it)"
                          : r.result == R::kCannotCreateFolder ? "cannot be created"
                          : r.result == R::kArchiveUnreadable  ? "was not written: the game archive cannot be read"
                          : r.result == R::kManifestFailed     ? manifest.c_str()
                                                               : nullptr;
    if (json) {
        std::printf("{\"outDir\": %s, \"manifest\": %s, \"written\": [", JsonString(r.outDir).c_str(),
                    r.manifestPath.empty() ? "null" : JsonString(r.manifestPath).c_str());
        for (size_t i = 0; i < r.files.size(); ++i) {
            const ExportedFile& f = r.files[i];
            std::printf("%s\n  {\"path\": %s, \"portrait\": %d, \"size\": \"%s\", \"frame\": %d, \"width\": %d, "
                        "\"height\": %d, \"depth\": %d, \"bytes\": %llu, \"sha256\": %s}",
                        i ? "," : "", JsonString(f.path).c_str(), f.portrait, kSizeNames[f.size], f.frame, f.width,
                        f.height, f.depth, static_cast<unsigned long long>(f.bytes), JsonString(f.sha256).c_str());
        }
        std::printf("%s], \"failed\": [", r.files.empty() ? "" : "\n");
        for (size_t i = 0; i < r.failed.size(); ++i)
            std::printf("%s\n  {\"path\": %s, \"reason\": %s}", i ? "," : "", JsonString(r.failed[i].path).c_str(),
                        JsonString(r.failed[i].reason).c_str());
        std::printf("%s]}\n", r.failed.empty() ? "" : "\n");
    } else {
        for (const ExportedFile& f : r.files)
            std::printf("%s/%s\n", r.outDir.c_str(), f.path.c_str());
    }
    for (const ExportFailure& f : r.failed)
        std::fprintf(stderr, "%s: %s\n", f.path.c_str(), f.reason.c_str());
    if (refusal) {
        std::fprintf(stderr, "%s %s\n", r.outDir.c_str(), refusal);
        return kExitFailed;
    }
    if (!json)
        std::printf("%zu files and %s written, %zu failed.\n", r.files.size(), r.manifestPath.c_str(), r.failed.size());
    return r.failed.empty() ? kExitOk : kExitFailed;
}

void PrintImport(const ImportReport& report)
{
    if (report.recolouredPixels > 0)
        std::printf("%s\n", FormatResourceString(IDS_KEPT_INDICES_RECOLOURED,
                                                 {std::to_string(report.recolouredPixels)}).c_str());
    if (report.colourLoss.farPixels > 0)
        std::printf("%d pixels lie far from the file's colours (largest OKLab distance %s).\n",
                    report.colourLoss.farPixels, DistanceText(report.colourLoss.largestDistance).c_str());
    if (report.takeover.otherPixels > 0)
        std::printf("The file's palette recoloured %lld pixels in %d other frames of the image.\n",
                    static_cast<long long>(report.takeover.otherPixels), report.takeover.otherFrames);
}

void PrintImportJson(const ImportReport& report, const std::string& portraitName,
                     const std::vector<std::string>& saved)
{
    std::printf("{\"portrait\": %s, \"size\": \"%s\", \"frame\": %d, \"pixelsChanged\": %lld, "
                "\"recolouredPixels\": %lld, \"farPixels\": %d, \"largestDistance\": %s, "
                "\"otherFramesRecoloured\": %d, \"otherPixelsRecoloured\": %lld, \"saved\": [",
                JsonString(portraitName).c_str(), kSizeNames[report.size], report.frame,
                static_cast<long long>(report.pixelsChanged), static_cast<long long>(report.recolouredPixels),
                report.colourLoss.farPixels, DistanceText(report.colourLoss.largestDistance).c_str(),
                report.takeover.otherFrames, static_cast<long long>(report.takeover.otherPixels));
    for (size_t i = 0; i < saved.size(); ++i)
        std::printf("%s%s", i ? ", " : "", JsonString(saved[i]).c_str());
    std::printf("]}\n");
}

int PrintCatalogueImport(const CatalogueImportResult& r, bool json)
{
    const bool refused = r.result != CatalogueImportResult::kOk;
    if (json) {
        std::printf("{\"manifest\": %s, \"dryRun\": %s, \"refused\": %s, \"imported\": [",
                    JsonString(r.manifestPath).c_str(), r.dryRun ? "true" : "false",
                    refused ? JsonString(r.reason).c_str() : "null");
        for (size_t i = 0; i < r.imported.size(); ++i) {
            const ImportedFile& f = r.imported[i];
            std::printf("%s\n  {\"path\": %s, \"portrait\": %s, \"size\": \"%s\", \"frame\": %d, \"pixelsChanged\": %lld",
                        i ? "," : "", JsonString(f.path).c_str(), JsonString(f.portraitName).c_str(),
                        kSizeNames[f.size], f.frame, static_cast<long long>(f.pixelsChanged));
            if (f.recolouredPixels > 0)
                std::printf(", \"recolouredPixels\": %lld", static_cast<long long>(f.recolouredPixels));
            std::printf(", \"farPixels\": %lld, \"largestDistance\": %s}", static_cast<long long>(f.farPixels),
                        DistanceText(f.largestDistance).c_str());
        }
        std::printf("%s], \"unchanged\": %d, \"failed\": [", r.imported.empty() ? "" : "\n", r.unchanged);
        for (size_t i = 0; i < r.failed.size(); ++i)
            std::printf("%s\n  {\"path\": %s, \"reason\": %s}", i ? "," : "", JsonString(r.failed[i].path).c_str(),
                        JsonString(r.failed[i].reason).c_str());
        std::printf("%s], \"saved\": [", r.failed.empty() ? "" : "\n");
        for (size_t i = 0; i < r.saved.size(); ++i)
            std::printf("%s%s", i ? ", " : "", JsonString(r.saved[i]).c_str());
        std::printf("]}\n");
    } else {
        for (const ImportedFile& f : r.imported) {
            std::printf("%s %s into %s %s frame %d: %lld pixels changed", r.dryRun ? "would import" : "imported",
                        f.path.c_str(), f.portraitName.c_str(), kSizeNames[f.size], f.frame,
                        static_cast<long long>(f.pixelsChanged));
            if (f.recolouredPixels > 0)
                std::printf(", %lld show another colour than in the file", static_cast<long long>(f.recolouredPixels));
            if (f.farPixels > 0)
                std::printf(", %lld lie far from the file's colours (largest OKLab distance %s)",
                            static_cast<long long>(f.farPixels), DistanceText(f.largestDistance).c_str());
            std::printf("\n");
        }
    }
    for (const ImportFailure& f : r.failed)
        std::fprintf(stderr, "%s: %s\n", f.path.c_str(), f.reason.c_str());
    if (refused) {
        const bool forcible = r.result == CatalogueImportResult::kOtherArchive;
        std::fprintf(stderr, "%s is refused: %s%s. Nothing was imported.\n", r.manifestPath.c_str(), r.reason.c_str(),
                     forcible ? " (--force imports it all the same)" : "");
        return kExitFailed;
    }
    if (!json) {
        const auto count = [](size_t n, const char* what) {
            return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
        };
        if (r.dryRun)
            std::printf("Would import %s, %d unchanged, %zu failed; nothing was written.\n",
                        count(r.imported.size(), "file").c_str(), r.unchanged, r.failed.size());
        else
            std::printf("Imported %s into %s, %d unchanged, %zu failed.\n", count(r.imported.size(), "file").c_str(),
                        count(r.saved.size(), "image").c_str(), r.unchanged, r.failed.size());
    }
    return r.failed.empty() ? kExitOk : kExitFailed;
}

namespace {

bool g_progressShown = false;

} // namespace

CatalogueProgress TerminalProgress()
{
    if (!CFileSystem::IsTerminal(stderr))
        return {};
    return [](int32_t done, int32_t total, const std::string& name) {
        // One line, written over: the line is cleared past its end.
        std::fprintf(stderr, "\r[%d/%d] %s\033[K", done + 1, total, name.c_str());
        std::fflush(stderr);
        g_progressShown = true;
        return true;
    };
}

void EndTerminalProgress()
{
    if (g_progressShown)
        std::fprintf(stderr, "\r\033[K");
    g_progressShown = false;
}
