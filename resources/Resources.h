// The program's resources: dialog template 102 with its control ids, the
// string table and icon 128.
#pragma once

#include <cstdint>
#include <string>

#include "platform/DialogTemplate.h"
#include "platform/Icon.h"

constexpr int32_t IDD_PORTRAITEDITOR_DIALOG = 102;
constexpr int32_t IDR_MAINFRAME = 128;

// Controls of dialog 102.
constexpr int32_t IDC_QUIT = 1; // the dialog's OK command
constexpr int32_t IDC_RACE = 1001;
constexpr int32_t IDC_GENDER = 1002;
constexpr int32_t IDC_PORTRAIT_GROUP = 1003;
constexpr int32_t IDC_FILE = 1004;
constexpr int32_t IDC_EXPORT_ALL = 1005;
constexpr int32_t IDC_EXPORT = 1006;
constexpr int32_t IDC_IMPORT = 1007;
constexpr int32_t IDC_CREATE_ARCHIVE = 1008;
constexpr int32_t IDC_COLORS = 1009;
constexpr int32_t IDC_USE_TGA_PALETTE = 1011;
constexpr int32_t IDC_PORTRAIT_SCROLLBAR = 15555; // created at run time

// The string table.
constexpr int32_t IDS_ARCHIVE_NOT_FOUND = 1;
constexpr int32_t IDS_TOO_MANY_PORTRAITS = 2;
constexpr int32_t IDS_PORTRAIT_SAVED = 3;
constexpr int32_t IDS_ARCHIVE_CREATED = 4;
constexpr int32_t IDS_TGA_NOT_LOADED = 5;
// Shown when an action stopped half-way with an error the editor could not
// foresee (no memory left); %s is the reason.
constexpr int32_t IDS_ACTION_FAILED = 6;

// Strings are loaded into buffers of at most 512 characters, terminator
// included.
constexpr size_t kStringBufferSize = 512;

const DialogTemplate& PortraitEditorDialogTemplate();
// The text of a string id, cut to fit the string buffer; empty for an
// unknown id.
std::string LoadResourceString(int32_t id);
// Icon 128: a portrait bust in a frame, 32 x 32 pixels.
const Icon& LoadAppIcon();
