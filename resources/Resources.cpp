// The program's resources as data: dialog template 102, menu 129 and the
// string table (icon 128 is painted in AppIcon.cpp).
#include "Resources.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

constexpr uint32_t kButton = WindowStyle::kChild | WindowStyle::kVisible | WindowStyle::kTabStop;
constexpr uint32_t kStatic = WindowStyle::kChild | WindowStyle::kVisible;

DialogTemplate MakeTemplate()
{
    DialogTemplate t;
    t.id = IDD_PORTRAITEDITOR_DIALOG;
    t.caption = "Thornvale - Portrait Editor v1.0";
    t.width = 347;
    t.height = 247;
    t.fontName = "MS Sans Serif";
    t.fontPointSize = 8;
    t.style = WindowStyle::kPopup | WindowStyle::kVisible | WindowStyle::kCaption | WindowStyle::kSystemMenu |
              WindowStyle::kMinimizeBox | WindowStyle::kModalFrame;
    t.exStyle = WindowExStyle::kAppWindow;
    t.controls = {
        {IDC_QUIT, ControlKind::PushButton, "Quit", 290, 225, 50, 15, kButton},
        {IDC_PORTRAIT_GROUP, ControlKind::GroupBox, "Portrait", 275, 10, 65, 80, kStatic},
        {IDC_RACE, ControlKind::StaticText, "Race", 285, 35, 50, 8, kStatic},
        {IDC_GENDER, ControlKind::StaticText, "Gender", 285, 45, 50, 8, kStatic},
        {IDC_FILE, ControlKind::StaticText, "File", 285, 25, 50, 8, kStatic},
        {IDC_EXPORT_ALL, ControlKind::PushButton, "Export All", 5, 205, 60, 15, kButton},
        {IDC_EXPORT, ControlKind::PushButton, "Export", 5, 225, 60, 15, kButton},
        {IDC_IMPORT, ControlKind::PushButton, "Import", 70, 225, 60, 15, kButton},
        {IDC_CREATE_ARCHIVE, ControlKind::PushButton, "Create Archive", 135, 225, 60, 15, kButton},
        {IDC_COLORS, ControlKind::StaticText, "Colors", 285, 60, 50, 8, kStatic},
        {IDC_USE_TGA_PALETTE, ControlKind::AutoCheckBox, "Use TGA-Palette", 200, 225, 85, 15, kButton},
        {IDC_FRAME_LABEL, ControlKind::StaticText, "", 280, 160, 60, 8, kStatic},
        {IDC_FRAME_PREVIOUS, ControlKind::PushButton, "<", 280, 172, 22, 14, kButton},
        {IDC_FRAME_NEXT, ControlKind::PushButton, ">", 306, 172, 22, 14, kButton},
    };
    return t;
}

// The string table: each string id with its text, looked up by id.
struct StringEntry {
    int32_t id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {IDS_ARCHIVE_NOT_FOUND, "DATA.QPK not found. Please make sure that the editor is installed in the Thornvale base "
                            "directory."},
    {IDS_TOO_MANY_PORTRAITS, "Too many portraits. "},
    {IDS_PORTRAIT_SAVED, "Portrait successfully saved."},
    {IDS_ARCHIVE_CREATED, "Archive successfully created."},
    {IDS_TGA_NOT_LOADED, "Could not load TGA. Wrong size and/or colordepth."},
    {IDS_NOTHING_TO_EXPORT, "This slot holds no frame of this portrait; nothing was exported."},
    {IDS_EXPORT_FAILED, "Nothing was exported: the file could not be written:\n%s"},
    {IDS_EXPORT_SOME_FAILED, "These files could not be written; the others were:\n%s"},
    {IDS_SAVE_FAILED, "The changed %s image could not be saved as\n%s\n(%s)."},
    {IDS_CHANGE_KEPT, "The change is kept: fix the cause, then move on or quit again."},
    {IDS_QUIT_LOSING_CHANGES, "The changed images of this portrait could not be saved. Quit anyway and lose the "
                              "changes?"},
    {IDS_REASON_CANNOT_OPEN, "The file cannot be opened."},
    {IDS_REASON_NOT_TGA, "The file is neither a TGA nor a PNG file."},
    {IDS_REASON_WRONG_SIZE, "The file is %d x %d; this frame is %d x %d."},
    {IDS_REASON_NEEDS_COLOUR_MAPPED, "This image needs a colour-mapped 8-bit TGA file."},
    {IDS_REASON_NEEDS_TRUE_COLOUR, "This image needs a true-colour TGA file."},
    {IDS_REASON_CUT_SHORT, "The file is cut short."},
    {IDS_REASON_INDEX_OUTSIDE_MAP, "The file uses colours that its colour map does not hold."},
    {IDS_REASON_UNSUPPORTED, "This kind of TGA file cannot be read."},
    {IDS_REASON_TOO_LARGE, "The file has too many pixels to import."},
    {IDS_REASON_CANNOT_SAVE, "This image's entry name cannot be a file name, so no change to it could be saved."},
    {IDS_FRAME_OF, "Frame %d of %d"},
    {IDS_PACK_FAILED, "%s could not be written. %s An earlier PATCH.010 is left as it was."},
    {IDS_PACK_REASON_NO_FOLDER, "The folder PATCHES does not exist in the game directory, or it cannot be written to."},
    {IDS_CREATE_PATCHES_ASK, "Create Archive writes PATCH.010 into the game's PATCHES folder, which does not "
                             "exist yet:\n%s\n\nCreate the folder and the archive now?"},
    {IDS_ABOUT_CAPTION, "About Portrait Editor"},
    {IDS_ABOUT, "Thornvale Portrait Editor %s\n\nThe portraits of Thornvale: shown, exported, imported, saved as "
                "override files and packed into the patch archive.\n\n%s"},
    {IDS_PICTURE_NOT_TAKEN, "Nothing was changed: %s."},
    {IDS_LICENCES, "Licensed under the GNU GPL-3.0-or-later (the LICENSE file). Built with these libraries, each "
                   "under its own licence:\n%slibpng (libpng licence)\nzlib (zlib licence)\nOpenSSL 3, its "
                   "libcrypto (Apache-2.0)\nnlohmann-json (MIT)\nlibjpeg-turbo (IJG and BSD-3-Clause)\nlibwebp "
                   "(BSD-3-Clause)\nlibimagequant (GPL-3.0-or-later)\nLittle CMS (MIT)\nstb_image_resize (MIT or public "
                   "domain)"},
    {IDS_PATCHES_NOT_CREATED, "The PATCHES folder could not be created: %s\nNo archive was written."},
    {IDS_PACK_REASON_SOURCE_UNREADABLE, "The override file %s could not be read in full."},
    {IDS_OVERRIDE_NOT_USED, "The override file %s is damaged and not used: %s. The game archive's image is used in "
                            "its place; the file is moved to Portraits/Reverted when this image is saved."},
    {IDS_SAVE_REPLACED_ASK, "Another program has replaced or removed\n%s\nsince this portrait was loaded.\n\nYes: "
                            "save your change there; a file the other program left is kept in "
                            "Portraits/Reverted.\nNo: keep what the other program left and let your change go."},
    {IDS_REASON_REPLACED_MEANWHILE, "another program replaced or removed that file since it was loaded; what it left "
                                    "is kept as it is"},
    {IDS_REASON_FOLDER_BUSY, "another program kept the Portraits folder busy; try again"},
    {IDS_REASON_CANNOT_SET_ASIDE, "the file in its way could not be moved to Portraits/Reverted: %s"},
    {IDS_PACK_LEFT_OUT, "%s was written without these override files, which are damaged:\n%s"},
    {IDS_PACK_DIFFERENCES, "These override files differ from the archive's images and were packed all the same:\n%s"},
    {IDS_FOLDER_BUSY, "Another program kept the Portraits folder busy; try again."},
    {IDS_PACK_REASON_WRITE_FAILED, "Writing the file failed; the disk may be full."},
    {IDS_REASON_BROKEN_PNG, "The PNG file is damaged or cut short."},
    {IDS_REASON_NEEDS_PALETTE, "Using the file's palette needs a file with a palette (an indexed file)."},
    {IDS_REASON_NEEDS_INDICES, "Keeping the indices needs a file with a colour map (an indexed file)."},
    {IDS_KEPT_INDICES_RECOLOURED, "%d pixels now show another colour than in the file, because the image's palette "
                                  "differs from the file's at the indices they use."},
    {IDS_CHOOSE_EXPORT_FOLDER, "Export the catalogue into"},
    {IDS_CHOOSE_IMPORT_FOLDER, "Import the catalogue from"},
    {IDS_EXPORTING_CATALOGUE, "Exporting the catalogue"},
    {IDS_IMPORTING_CATALOGUE, "Importing the catalogue"},
    {IDS_REPLACE_EXPORT, "%s already holds an exported catalogue (manifest.json). Replace that export?"},
    {IDS_CATALOGUE_EXPORTED, "The catalogue was exported into\n%s\nFiles written: %d, and manifest.json."},
    {IDS_FILES_FAILED, "These files failed:\n%s"},
    {IDS_AND_MORE, "and %d more"},
    {IDS_EXPORT_CANCELLED, "The export was cancelled; the manifest lists the files written before."},
    {IDS_CATALOGUE_NOT_EXPORTED, "The catalogue could not be exported into\n%s:\n%s"},
    {IDS_EXPORT_REASON_NO_FOLDER, "The folder cannot be created."},
    {IDS_EXPORT_REASON_ARCHIVE, "The game archive cannot be read."},
    {IDS_EXPORT_REASON_EXISTS, "It holds an exported catalogue already."},
    {IDS_REVERT_IMAGE_NOTHING, "The %s image of %s is the game archive's own already; there is nothing to revert."},
    {IDS_UNDO_STALE, "The images of %s were changed elsewhere since they were edited here, so their edits cannot be "
                     "undone or redone any more."},
    {IDS_CHOOSE_GAME_FOLDER, "Choose the Thornvale base directory"},
    {IDS_CHOOSE_GAME_INTRO, "Choose the game's folder next: the folder that holds DATA/DATA.QPK.\n\nThe editor reads "
                            "the portraits from the game's archive, DATA.QPK, and never changes it. It saves your "
                            "changed portraits in the Portraits folder there, and Create Archive packs them into "
                            "PATCHES/PATCH.010."},
    {IDS_GAMES_SEARCHING, "Looking for game folders on this computer..."},
    {IDS_GAMES_FOUND, "Game folders found on this computer (a click opens one), or choose another below:"},
    {IDS_GAMES_NONE_FOUND, "No game folder was found in Steam's libraries, Wine prefixes or the folders of Lutris, "
                           "Heroic, Bottles and GOG. Choose it below:"},
    {IDS_REASON_CANNOT_MOVE_ASIDE, "its override file could not be moved to Portraits/Reverted to show the game "
                                   "archive's image"},
    {IDS_CHANGED_ELSEWHERE, "Another program changed this portrait's files. Your unsaved edits are kept; saving "
                            "them asks before it replaces what the other program wrote."},
    {IDS_LIST_COLUMNS, "#|Name|Race|Gender|Variant|Marks"},
    {IDS_LIST_SIZES, "LARGE: %s   MEDIUM: %s   SMALL: %s"},
    {IDS_SOURCE_ORIGINAL, "original"},
    {IDS_SOURCE_OVERRIDE, "override"},
    {IDS_SOURCE_INVALID, "invalid override"},
    {IDS_SOURCE_UNSAVED, "%s, unsaved"},
    {IDS_SOURCE_NONE, "none"},
    {IDS_COLOUR_LOSS_NOTICE, "Colour loss: %s pixels lie far from the file's colours (largest OKLab distance %s). "
                             "View > Show Colour Loss outlines them."},
    {IDS_FILE_PALETTE_TAKEN, "The file's palette was taken: %s pixels in %s other frames show other colours."},
    {IDS_CATALOGUE_COLOUR_LOSS, "Colour loss: %s pixels in %s frames lie far from the files' colours (largest OKLab "
                                "distance %s)."},
    {IDS_TGA_FILE_NOT_IMPORTED, "The TGA file could not be imported."},
    {IDS_PNG_FILE_NOT_IMPORTED, "The PNG file could not be imported."},
    {IDS_FILE_NOT_IMPORTED, "The file could not be imported."},
    {IDS_EXPORT_WROTE_FILE, "Written to %s"},
    {IDS_EXPORT_WROTE_FILES, "%s files written into %s"},
    {IDS_FILE_PALETTE_ASK, "The file's palette replaces the image's: %s pixels in %s other frames of this image "
                           "will show other colours.\nTake the file's palette?"},
    {IDS_EXPORT_REASON_MANIFEST, "Its manifest.json cannot be written."},
    {IDS_IMPORT_OTHER_ARCHIVE, "The catalogue in\n%s\ndoes not belong to this game: %s.\nImport it anyway?"},
    {IDS_CATALOGUE_NOT_IMPORTED, "Nothing was imported from\n%s:\n%s."},
    {IDS_CATALOGUE_IMPORTED, "Frames imported: %d\nFiles unchanged: %d"},
    {IDS_IMPORT_CANCELLED, "The import was cancelled; the frames taken before were saved."},
    {IDS_VALIDATE_PROBLEMS, "Problems found in the override files: %d\n%s"},
    {IDS_VALIDATE_ALL_VALID, "All override files are valid."},
    {IDS_VALIDATE_NO_CATALOGUE, "There is no catalogue to check the override files against."},
    {IDS_REVERT_ASK, "Move the override files of %s to Portraits/Reverted, so that its images load from the game "
                     "archive again? Nothing is deleted; unsaved changes of this portrait are let go."},
    {IDS_REVERT_NOTHING, "%s has no override files; nothing was moved."},
    {IDS_REVERT_MOVE_FAILED, "%s could not be moved; it is left where it was."},
    {IDS_REVERT_NO_FOLDER, "The folder %s could not be made; nothing more was moved."},
    {IDS_OVERWRITE_EDITED_EXPORT, "%s is not what the export would write: it may have been edited there. Overwrite "
                                  "it?"},
    {IDS_REPLACE_PATCH_BY_EMPTY, "There are no override files to pack, and %s holds %d entries. Replace it by an "
                                 "archive without any?"},
    {IDS_EXPORT_KEPT_FILES, "Nothing was exported; the files in Portraits are kept as they are."},
    {IDS_DROP_ONE_FILE, "Drop one TGA or PNG file on a slot to import it into that frame."},
    {IDS_EDIT_NO_FRAME, "This slot holds no frame of this portrait; there is nothing to edit."},
    {IDS_EDIT_NOT_WRITTEN, "The frame could not be written for editing to\n%s"},
    {IDS_EDIT_NOT_OPENED, "No program could be started for\n%s\nOpen it in an image editor yourself: each save of it "
                          "is taken into the frame."},
    {IDS_EDIT_LAST_SAVE_NOT_TAKEN, "The last save of\n%s\nwas not taken into the frame.\n%s"},
    {IDS_ACTION_FAILED, "The last action stopped before it was done: %s.\nNo file was left half-written; files that "
                        "were being written are as they were before."},
};

// An id given two texts would show whichever comes first; the build refuses it instead.
constexpr bool IdsAreUnique()
{
    for (size_t i = 0; i < std::size(kStrings); ++i)
        for (size_t j = i + 1; j < std::size(kStrings); ++j)
            if (kStrings[i].id == kStrings[j].id)
                return false;
    return true;
}
static_assert(IdsAreUnique(), "a string id is given two texts");

} // namespace

const DialogTemplate& PortraitEditorDialogTemplate()
{
    static const DialogTemplate t = MakeTemplate();
    return t;
}

// Menu 129: the commands over the whole catalogue and Quit, the edits of the
// current portrait, the options (three groups of choices, one checked in
// each, and a switch), how the preview panel shows the frame, then About.
const MenuTemplate& PortraitEditorMenu()
{
    static const MenuTemplate menu = {
        IDR_PORTRAITEDITOR_MENU,
        {{"&File",
          {
              {ID_FILE_OPEN_GAME, "&Open Game Folder...", false, 0, "Ctrl+O"},
              {0, "", false, 0, ""},
              {ID_FILE_EXPORT_CATALOGUE, "&Export Catalogue...", false, 0, ""},
              {ID_FILE_IMPORT_CATALOGUE, "&Import Catalogue...", false, 0, ""},
              {ID_FILE_VALIDATE, "&Validate...", false, 0, ""},
              {0, "", false, 0, ""},
              {ID_FILE_REVERT_PORTRAIT, "&Revert Portrait to Original", false, 0, ""},
              {0, "", false, 0, ""},
              {ID_FILE_QUIT, "&Quit", false, 0, "Ctrl+Q"},
          }},
         {"&Edit",
          {
              {ID_EDIT_UNDO, "&Undo", false, 0, "Ctrl+Z"},
              {ID_EDIT_REDO, "&Redo", false, 0, "Ctrl+Shift+Z"},
              {0, "", false, 0, ""},
              {ID_EDIT_REVERT_IMAGE, "Revert &Image to Original", false, 0, ""},
              {ID_EDIT_REVERT_PORTRAIT, "Revert &Portrait to Original", false, 0, ""},
              {0, "", false, 0, ""},
              {ID_EDIT_EXTERNALLY, "&Edit Externally", false, 0, "Ctrl+E"},
              {ID_EDIT_NEW_FROM_PICTURE, "New Portrait from &Picture...", false, 0, "Ctrl+R"},
          }},
         {"&Options",
          {
              {ID_OPTIONS_EXPORT_TGA, "Export as &TGA", true, 1, ""},
              {ID_OPTIONS_EXPORT_PNG, "Export as &PNG", true, 1, ""},
              {0, "", false, 0, ""},
              {ID_OPTIONS_IMPORT_REMAP, "&Remap colours", true, 2, ""},
              {ID_OPTIONS_IMPORT_KEEP_INDICES, "&Keep indices", true, 2, ""},
              {ID_OPTIONS_IMPORT_FILE_PALETTE, "Use &file palette", true, 2, ""},
              {0, "", false, 0, ""},
              {ID_OPTIONS_MATCH_CLASSIC, "&Classic matching", true, 3, ""},
              {ID_OPTIONS_MATCH_PERCEPTUAL, "P&erceptual matching", true, 3, ""},
              {0, "", false, 0, ""},
              {ID_OPTIONS_DITHER, "&Dithering", true, 0, ""},
          }},
         {"&View",
          {
              {ID_VIEW_ZOOM_IN, "Zoom &In", false, 0, "+"},
              {ID_VIEW_ZOOM_OUT, "Zoom &Out", false, 0, "-"},
              {0, "", false, 0, ""},
              {ID_VIEW_ZOOM_FIT, "&Fit to Panel", true, 4, "Ctrl+0"},
              {ID_VIEW_ZOOM_1X, "Zoom &1x", true, 4, "Ctrl+1"},
              {ID_VIEW_ZOOM_1X + 1, "Zoom &2x", true, 4, "Ctrl+2"},
              {ID_VIEW_ZOOM_1X + 2, "Zoom &3x", true, 4, "Ctrl+3"},
              {ID_VIEW_ZOOM_1X + 3, "Zoom &4x", true, 4, "Ctrl+4"},
              {ID_VIEW_ZOOM_1X + 4, "Zoom &5x", true, 4, "Ctrl+5"},
              {ID_VIEW_ZOOM_1X + 5, "Zoom &6x", true, 4, "Ctrl+6"},
              {ID_VIEW_ZOOM_1X + 6, "Zoom &7x", true, 4, "Ctrl+7"},
              {ID_VIEW_ZOOM_8X, "Zoom &8x", true, 4, "Ctrl+8"},
              {0, "", false, 0, ""},
              {ID_VIEW_PLAY, "&Play MEDIUM Frames", true, 0, "Space"},
              {ID_VIEW_SPEED_SLOW, "&Slow (4 frames a second)", true, 5, ""},
              {ID_VIEW_SPEED_NORMAL, "&Normal (8 frames a second)", true, 5, ""},
              {ID_VIEW_SPEED_FAST, "F&ast (16 frames a second)", true, 5, ""},
              {0, "", false, 0, ""},
              {ID_VIEW_BACKGROUND_GREY, "&Grey Background", true, 6, ""},
              {ID_VIEW_BACKGROUND_BLACK, "&Black Background", true, 6, ""},
              {ID_VIEW_BACKGROUND_CHECKERBOARD, "&Checkerboard Background", true, 6, ""},
              {0, "", false, 0, ""},
              {ID_VIEW_COLOUR_LOSS, "Show Colour &Loss", true, 0, ""},
          }},
         {"&Help",
          {
              {ID_HELP_ABOUT, "&About Portrait Editor...", false, 0, ""},
          }}},
    };
    return menu;
}

std::string LoadResourceString(int32_t id)
{
    const auto* entry = std::find_if(std::begin(kStrings), std::end(kStrings),
                                     [id](const StringEntry& e) { return e.id == id; });
    if (entry == std::end(kStrings))
        return {};
    // The string buffer holds kStringBufferSize characters with the terminator.
    return std::string(std::string_view(entry->text).substr(0, kStringBufferSize - 1));
}

std::string FormatResourceString(int32_t id, std::initializer_list<std::string> values)
{
    const std::string text = LoadResourceString(id);
    std::string out;
    auto next = values.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd') &&
            next != values.end()) {
            out += *next++;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
