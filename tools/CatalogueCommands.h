// The tool's whole-catalogue commands: status, validate, revert, what a
// pack takes, export-catalogue and import-catalogue, printed as text or JSON
// from the catalogue operations that the window uses too.
#pragma once

#include <string>
#include <vector>

#include "CatalogueOperations.h"
#include "ImportReport.h"

// Exit status of validate when it found problems.
constexpr int kExitProblemsFound = 3;

void PrintStatus(const std::vector<PortraitStatus>& statuses, bool json);
// 0 when every file is valid, 3 when a problem was found, 1 when the check
// could not run.
int PrintValidation(const ValidationReport& report, bool json);
// 0 when everything there was to move was moved (or nothing was there), 1
// when a file could not be moved.
int PrintRevert(const RevertResult& result, const std::string& portraitName);
// What a pack takes, from which file, and the damaged files it leaves out
// (on standard error, unless as JSON); written says whether it was
// written. 0 when it takes every file, 1 when it leaves one out.
int PrintPackSources(const std::vector<PackSource>& sources, const std::string& target, bool written, bool json);
// The files an export of the catalogue wrote and those it could not; 0 when
// all were written with their manifest, 1 otherwise (a refused folder too).
int PrintCatalogueExport(const CatalogueExportResult& result, bool json);
// What an import of the catalogue took (or would take) and what failed; 0
// when nothing failed, 1 when a file failed or the manifest was refused.
int PrintCatalogueImport(const CatalogueImportResult& result, bool json);
// What an import into one frame did: kept indices shown in other colours,
// pixels far from the file's colours, and the other frames a file's palette
// recoloured, a line each where there are any; or as one JSON object, with
// the pixels changed and the override files saved.
void PrintImport(const ImportReport& report);
void PrintImportJson(const ImportReport& report, const std::string& portraitName,
                     const std::vector<std::string>& saved);
// "[i/N] NAME" on standard error while a catalogue export or import works,
// when standard error is a terminal; no progress otherwise.
CatalogueProgress TerminalProgress();
// Clears the progress line, if one was shown.
void EndTerminalProgress();
