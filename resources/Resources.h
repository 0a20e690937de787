// The program's resources: dialog template 102 with its control ids, its
// menu 129 with the item ids, the string table, and icon 128 (AppIcon.h).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "AppIcon.h"
#include "DialogTemplate.h"
#include "MenuTemplate.h"

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
// The frame stepper beside slot 11, which shows MEDIUM frames 9 and on.
constexpr int32_t IDC_FRAME_LABEL = 1012;
constexpr int32_t IDC_FRAME_PREVIOUS = 1013;
constexpr int32_t IDC_FRAME_NEXT = 1014;
constexpr int32_t IDC_PORTRAIT_SCROLLBAR = 15555; // created at run time

// Menu 129, the dialog's menu bar: "File", "Edit", "Options", "View", then
// "Help". Its items' ids
// lie above every control's; those of each menu follow one another, and the
// dialog hears each menu's as one range.
constexpr int32_t IDR_PORTRAITEDITOR_MENU = 129;
constexpr int32_t ID_OPTIONS_EXPORT_TGA = 32771;
constexpr int32_t ID_OPTIONS_EXPORT_PNG = 32772;
constexpr int32_t ID_OPTIONS_IMPORT_REMAP = 32773;
constexpr int32_t ID_OPTIONS_IMPORT_KEEP_INDICES = 32774;
constexpr int32_t ID_OPTIONS_IMPORT_FILE_PALETTE = 32775;
constexpr int32_t ID_OPTIONS_MATCH_CLASSIC = 32776;
constexpr int32_t ID_OPTIONS_MATCH_PERCEPTUAL = 32777;
constexpr int32_t ID_OPTIONS_DITHER = 32778;
constexpr int32_t ID_FILE_EXPORT_CATALOGUE = 32779;
constexpr int32_t ID_FILE_IMPORT_CATALOGUE = 32780;
constexpr int32_t ID_FILE_VALIDATE = 32781;
constexpr int32_t ID_FILE_REVERT_PORTRAIT = 32782;
constexpr int32_t ID_EDIT_UNDO = 32783;
constexpr int32_t ID_EDIT_REDO = 32784;
constexpr int32_t ID_EDIT_REVERT_IMAGE = 32785;
constexpr int32_t ID_EDIT_REVERT_PORTRAIT = 32786;
// The File menu's game folders: the chooser, then the recent ones, which the
// dialog puts in at run time.
constexpr int32_t ID_FILE_OPEN_GAME = 32787;
constexpr int32_t ID_FILE_RECENT_FIRST = 32788;
constexpr int32_t ID_FILE_RECENT_LAST = 32792;
// Files shared with other programs: the Edit menu's "Edit Externally", and
// the timer that waits for an external editor's saves to settle.
constexpr int32_t ID_EDIT_EXTERNALLY = 32830;
constexpr int32_t ID_EDIT_NEW_FROM_PICTURE = 32850;
constexpr int32_t ID_TIMER_LIVE_EDITING = 32831;
// The View menu, last: the preview panel's zoom (in and out, or one of fit
// and 1x to 8x), its animation with its speed, and its background.
constexpr int32_t ID_VIEW_ZOOM_IN = 32810;
constexpr int32_t ID_VIEW_ZOOM_OUT = 32811;
constexpr int32_t ID_VIEW_ZOOM_FIT = 32812;
constexpr int32_t ID_VIEW_ZOOM_1X = 32813; // to ID_VIEW_ZOOM_1X + 7, 8x
constexpr int32_t ID_VIEW_ZOOM_8X = 32820;
constexpr int32_t ID_VIEW_PLAY = 32821;
constexpr int32_t ID_VIEW_SPEED_SLOW = 32822;
constexpr int32_t ID_VIEW_SPEED_NORMAL = 32823;
constexpr int32_t ID_VIEW_SPEED_FAST = 32824;
constexpr int32_t ID_VIEW_BACKGROUND_GREY = 32825;
constexpr int32_t ID_VIEW_BACKGROUND_BLACK = 32826;
constexpr int32_t ID_VIEW_BACKGROUND_CHECKERBOARD = 32827;
constexpr int32_t ID_VIEW_COLOUR_LOSS = 32828; // outlines the pixels far from the file's colours
// The File menu's Quit (as the Quit button), and the Help menu, last.
constexpr int32_t ID_FILE_QUIT = 32840;
constexpr int32_t ID_HELP_ABOUT = 32841;

// The string table.
constexpr int32_t IDS_ARCHIVE_NOT_FOUND = 1;
constexpr int32_t IDS_TOO_MANY_PORTRAITS = 2;
constexpr int32_t IDS_PORTRAIT_SAVED = 3;
constexpr int32_t IDS_ARCHIVE_CREATED = 4;
constexpr int32_t IDS_TGA_NOT_LOADED = 5;
// Shown when an action stopped half-way with an error the editor could not
// foresee (no memory left); %s is the reason.
constexpr int32_t IDS_ACTION_FAILED = 6;
// Exports that wrote nothing, saves that failed. %s is a path, a size or a
// reason, filled in order.
constexpr int32_t IDS_NOTHING_TO_EXPORT = 7;
constexpr int32_t IDS_EXPORT_FAILED = 8;
constexpr int32_t IDS_SAVE_FAILED = 9;
constexpr int32_t IDS_QUIT_LOSING_CHANGES = 10;
// Why an import was refused, shown under string 5; %d are sizes.
constexpr int32_t IDS_REASON_CANNOT_OPEN = 11;
constexpr int32_t IDS_REASON_NOT_TGA = 12;
constexpr int32_t IDS_REASON_WRONG_SIZE = 13;
constexpr int32_t IDS_REASON_NEEDS_COLOUR_MAPPED = 14;
constexpr int32_t IDS_REASON_NEEDS_TRUE_COLOUR = 15;
constexpr int32_t IDS_REASON_CUT_SHORT = 16;
constexpr int32_t IDS_REASON_INDEX_OUTSIDE_MAP = 17;
constexpr int32_t IDS_REASON_UNSUPPORTED = 18;
constexpr int32_t IDS_REASON_TOO_LARGE = 19;
constexpr int32_t IDS_REASON_CANNOT_SAVE = 21;
// The frame stepper's label.
constexpr int32_t IDS_FRAME_OF = 20;
// A Create Archive that failed: the patch's path and, from 23 to 25, why.
constexpr int32_t IDS_PACK_FAILED = 22;
constexpr int32_t IDS_PACK_REASON_NO_FOLDER = 23;
constexpr int32_t IDS_PACK_REASON_SOURCE_UNREADABLE = 24;
constexpr int32_t IDS_PACK_REASON_WRITE_FAILED = 25;
// Create Archive in a game folder without PATCHES: the offer to make it (%s
// the folder), and a folder that could not be made (%s with the reason).
constexpr int32_t IDS_CREATE_PATCHES_ASK = 130;
constexpr int32_t IDS_PATCHES_NOT_CREATED = 131;
// Help > About: its caption, and its text (%s the program's version).
constexpr int32_t IDS_ABOUT_CAPTION = 132;
constexpr int32_t IDS_ABOUT = 133;
// The project's licence and the libraries built in; %s is "Qt 6 ...\n" in
// the window, empty in portrait-tool, which has no Qt.
constexpr int32_t IDS_LICENCES = 209;
// Edit > New Portrait from Picture...: a picture that changed nothing.
constexpr int32_t IDS_PICTURE_NOT_TAKEN = 210;
// An import that keeps the file's indices: a file without them is refused
// (under string 5); a file taken whose pixels now show other colours is
// reported with their number.
constexpr int32_t IDS_REASON_NEEDS_INDICES = 40;
constexpr int32_t IDS_REASON_BROKEN_PNG = 42;
constexpr int32_t IDS_REASON_NEEDS_PALETTE = 43;
constexpr int32_t IDS_KEPT_INDICES_RECOLOURED = 41;
// The File menu's commands over the whole catalogue. A list of files that
// failed (string 50) and the cancel notes follow a summary on lines of
// their own; a long list ends with string 51.
constexpr int32_t IDS_CHOOSE_EXPORT_FOLDER = 44;
constexpr int32_t IDS_CHOOSE_IMPORT_FOLDER = 45;
constexpr int32_t IDS_EXPORTING_CATALOGUE = 46;
constexpr int32_t IDS_IMPORTING_CATALOGUE = 47;
constexpr int32_t IDS_REPLACE_EXPORT = 48;
constexpr int32_t IDS_CATALOGUE_EXPORTED = 49;
constexpr int32_t IDS_FILES_FAILED = 50;
constexpr int32_t IDS_AND_MORE = 51;
constexpr int32_t IDS_EXPORT_CANCELLED = 52;
constexpr int32_t IDS_CATALOGUE_NOT_EXPORTED = 53;
constexpr int32_t IDS_EXPORT_REASON_NO_FOLDER = 54;
constexpr int32_t IDS_EXPORT_REASON_ARCHIVE = 55;
constexpr int32_t IDS_EXPORT_REASON_MANIFEST = 56;
constexpr int32_t IDS_IMPORT_OTHER_ARCHIVE = 57;
constexpr int32_t IDS_CATALOGUE_NOT_IMPORTED = 58;
constexpr int32_t IDS_CATALOGUE_IMPORTED = 59;
constexpr int32_t IDS_IMPORT_CANCELLED = 60;
constexpr int32_t IDS_VALIDATE_PROBLEMS = 61;
constexpr int32_t IDS_VALIDATE_ALL_VALID = 62;
constexpr int32_t IDS_VALIDATE_NO_CATALOGUE = 63;
constexpr int32_t IDS_REVERT_ASK = 64;
constexpr int32_t IDS_REVERT_NOTHING = 65;
constexpr int32_t IDS_REVERT_MOVE_FAILED = 66;
constexpr int32_t IDS_REVERT_NO_FOLDER = 67;
constexpr int32_t IDS_EXPORT_REASON_EXISTS = 68;
// The Edit menu: an image with nothing to revert (%s: the size, the
// portrait), an undo history let go (%s: the portrait), and the reason a
// save gives when an override file could not be moved aside.
constexpr int32_t IDS_REVERT_IMAGE_NOTHING = 69;
constexpr int32_t IDS_UNDO_STALE = 70;
constexpr int32_t IDS_REASON_CANNOT_MOVE_ASIDE = 71;
// The folder chooser's title for a game folder, and what the window says
// before it when it starts without one.
constexpr int32_t IDS_CHOOSE_GAME_FOLDER = 72;
constexpr int32_t IDS_CHOOSE_GAME_INTRO = 134;
// Above the game folder's chooser: the game folders found on this computer,
// while the search runs, once it found some, and when it found none.
constexpr int32_t IDS_GAMES_SEARCHING = 136;
constexpr int32_t IDS_GAMES_FOUND = 137;
constexpr int32_t IDS_GAMES_NONE_FOUND = 138;
// Under the portrait list, when another program changed the current
// portrait's files while it has unsaved changes.
constexpr int32_t IDS_CHANGED_ELSEWHERE = 135;
// The window's questions before it overwrites what the modder may want to
// keep: an exported file edited in Portraits (%s its path), a patch archive
// with entries (%s its path, %d their number) by one without; and the note
// for an export that wrote nothing because every such question got No.
constexpr int32_t IDS_OVERWRITE_EDITED_EXPORT = 80;
constexpr int32_t IDS_REPLACE_PATCH_BY_EMPTY = 81;
constexpr int32_t IDS_EXPORT_KEPT_FILES = 82;
// Dropped files and Edit Externally; %s are paths and a reason.
constexpr int32_t IDS_DROP_ONE_FILE = 100;
constexpr int32_t IDS_EDIT_NO_FRAME = 101;
constexpr int32_t IDS_EDIT_NOT_WRITTEN = 102;
constexpr int32_t IDS_EDIT_NOT_OPENED = 103;
constexpr int32_t IDS_EDIT_LAST_SAVE_NOT_TAKEN = 104;
// Damaged override files, and saves that meet another program's work: a
// file not used (%s its path, the fault), the question when another program
// replaced an override file since its load (%s its path), the reasons a save
// gives, a pack that left damaged files out (%s the patch, the files) or
// met files that differ from the archive's images, and a pack or revert
// that found the folder busy.
constexpr int32_t IDS_OVERRIDE_NOT_USED = 110;
constexpr int32_t IDS_SAVE_REPLACED_ASK = 111;
constexpr int32_t IDS_REASON_REPLACED_MEANWHILE = 112;
constexpr int32_t IDS_REASON_FOLDER_BUSY = 113;
constexpr int32_t IDS_REASON_CANNOT_SET_ASIDE = 114;
constexpr int32_t IDS_PACK_LEFT_OUT = 115;
constexpr int32_t IDS_PACK_DIFFERENCES = 116;
constexpr int32_t IDS_FOLDER_BUSY = 117;
// The window's line under a save that failed, and an export that wrote some
// of its files (%s: the others, with the reasons).
constexpr int32_t IDS_CHANGE_KEPT = 118;
constexpr int32_t IDS_EXPORT_SOME_FAILED = 119;
// The portrait list: its column headings (separated by |), the line of the
// current portrait's sizes under it and the words for where each size
// loads from.
constexpr int32_t IDS_LIST_COLUMNS = 90;
constexpr int32_t IDS_LIST_SIZES = 91;
constexpr int32_t IDS_SOURCE_ORIGINAL = 92;
constexpr int32_t IDS_SOURCE_OVERRIDE = 93;
constexpr int32_t IDS_SOURCE_INVALID = 94;
constexpr int32_t IDS_SOURCE_UNSAVED = 95;
constexpr int32_t IDS_SOURCE_NONE = 96;
// What an import did to colours: the notice under the list (pixels
// far from the file's colours, or pixels of other frames a file's palette
// recoloured), and the question before a file's palette is taken.
constexpr int32_t IDS_COLOUR_LOSS_NOTICE = 200;
constexpr int32_t IDS_FILE_PALETTE_TAKEN = 201;
constexpr int32_t IDS_FILE_PALETTE_ASK = 202;
constexpr int32_t IDS_CATALOGUE_COLOUR_LOSS = 203;
// A refused import that string 5 does not describe: the kind of file met.
constexpr int32_t IDS_TGA_FILE_NOT_IMPORTED = 204;
constexpr int32_t IDS_PNG_FILE_NOT_IMPORTED = 205;
constexpr int32_t IDS_FILE_NOT_IMPORTED = 206;
// Export and Export All: what was written.
constexpr int32_t IDS_EXPORT_WROTE_FILE = 207;
constexpr int32_t IDS_EXPORT_WROTE_FILES = 208;

// Strings are loaded into buffers of at most 512 characters, terminator
// included.
constexpr size_t kStringBufferSize = 512;

const DialogTemplate& PortraitEditorDialogTemplate();
const MenuTemplate& PortraitEditorMenu();
// The text of a string id, cut to fit the string buffer; empty for an
// unknown id.
std::string LoadResourceString(int32_t id);
// The text of a string id with each %s or %d replaced by the next of the
// values, in order. The values are not cut: a path may be long.
std::string FormatResourceString(int32_t id, std::initializer_list<std::string> values);
