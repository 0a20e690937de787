#include "Resources.h"

#include <algorithm>
#include <cmath>

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
        {IDC_QUIT, ControlKind::DefaultPushButton, "Quit", 290, 225, 50, 15, kButton},
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

// The icon is drawn here rather than shipped as a picture: a bust in a
// warm frame on a dark blue ground, with soft edges.
Icon MakeIcon()
{
    constexpr int32_t kSize = 32;
    Icon icon;
    icon.size = kSize;
    icon.pixels.assign(kSize * kSize * 4, 0);
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
        uint8_t* p = &icon.pixels[static_cast<size_t>(y * kSize + x) * 4];
        p[0] = b;
        p[1] = g;
        p[2] = r;
        p[3] = a;
    };
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool frame = x < 3 || y < 3 || x >= kSize - 3 || y >= kSize - 3;
            if (frame) {
                const bool light = (x + y) % 4 < 2;
                put(x, y, light ? 214 : 168, light ? 160 : 118, light ? 64 : 40);
                continue;
            }
            // Ground: a vertical blend from deep blue to slate.
            const uint8_t g = static_cast<uint8_t>(40 + y * 2);
            put(x, y, 30, g, static_cast<uint8_t>(90 + y * 3));
            const double cx = x + 0.5 - 16.0;
            // Head: an ellipse; shoulders: the top of a wider ellipse.
            const double head = (cx * cx) / (5.2 * 5.2) + ((y + 0.5 - 12.0) * (y + 0.5 - 12.0)) / (6.2 * 6.2);
            const double body = (cx * cx) / (11.0 * 11.0) + ((y + 0.5 - 31.0) * (y + 0.5 - 31.0)) / (10.0 * 10.0);
            if (head <= 1.0) {
                const uint8_t shade = static_cast<uint8_t>(236 - std::clamp(static_cast<int>(cx * 6), -20, 40));
                put(x, y, shade, static_cast<uint8_t>(shade * 0.78), static_cast<uint8_t>(shade * 0.62));
            } else if (body <= 1.0) {
                put(x, y, 150, 36, 44);
            }
        }
    }
    return icon;
}

} // namespace

const DialogTemplate& PortraitEditorDialogTemplate()
{
    static const DialogTemplate t = MakeTemplate();
    return t;
}

// Menu 129: the commands over the whole catalogue, the edits of the current
// portrait, the options (three groups of choices, one checked in each, and a
// switch), then how the preview panel shows the frame.
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
          }}},
    };
    return menu;
}

std::string LoadResourceString(int32_t id)
{
    const char* text = nullptr;
    switch (id) {
    case IDS_ARCHIVE_NOT_FOUND:
        text = "DATA.QPK not found. Please make sure that the editor is installed in the Thornvale base directory.";
        break;
    case IDS_TOO_MANY_PORTRAITS:
        text = "Too many portraits. ";
        break;
    case IDS_PORTRAIT_SAVED:
        text = "Portrait successfully saved.";
        break;
    case IDS_ARCHIVE_CREATED:
        text = "Archive successfully created.";
        break;
    case IDS_TGA_NOT_LOADED:
        text = "Could not load TGA. Wrong size and/or colordepth.";
        break;
    case IDS_NOTHING_TO_EXPORT:
        text = "This slot holds no frame of this portrait; nothing was exported.";
        break;
    case IDS_EXPORT_FAILED:
        text = "Nothing was exported: the file could not be written:\n%s";
        break;
    case IDS_EXPORT_SOME_FAILED:
        text = "These files could not be written; the others were:\n%s";
        break;
    case IDS_SAVE_FAILED:
        text = "The changed %s image could not be saved as\n%s\n(%s).";
        break;
    case IDS_CHANGE_KEPT:
        text = "The change is kept: fix the cause, then move on or quit again.";
        break;
    case IDS_QUIT_LOSING_CHANGES:
        text = "The changed images of this portrait could not be saved. Quit anyway and lose the changes?";
        break;
    case IDS_REASON_CANNOT_OPEN:
        text = "The file cannot be opened.";
        break;
    case IDS_REASON_NOT_TGA:
        text = "The file is not a TGA file.";
        break;
    case IDS_REASON_WRONG_SIZE:
        text = "The file is %d x %d; this frame is %d x %d.";
        break;
    case IDS_REASON_NEEDS_COLOUR_MAPPED:
        text = "This image needs a colour-mapped 8-bit TGA file.";
        break;
    case IDS_REASON_NEEDS_TRUE_COLOUR:
        text = "This image needs a true-colour TGA file.";
        break;
    case IDS_REASON_CUT_SHORT:
        text = "The file is cut short.";
        break;
    case IDS_REASON_INDEX_OUTSIDE_MAP:
        text = "The file uses colours that its colour map does not hold.";
        break;
    case IDS_REASON_UNSUPPORTED:
        text = "This kind of TGA file cannot be read.";
        break;
    case IDS_REASON_TOO_LARGE:
        text = "The file has too many pixels to import.";
        break;
    case IDS_REASON_CANNOT_SAVE:
        text = "This image's entry name cannot be a file name, so no change to it could be saved.";
        break;
    case IDS_FRAME_OF:
        text = "Frame %d of %d";
        break;
    case IDS_PACK_FAILED:
        text = "%s could not be written. %s An earlier PATCH.010 is left as it was.";
        break;
    case IDS_PACK_REASON_NO_FOLDER:
        text = "The folder PATCHES does not exist in the game directory, or it cannot be written to.";
        break;
    case IDS_PACK_REASON_SOURCE_UNREADABLE:
        text = "The override file %s could not be read in full.";
        break;
    case IDS_OVERRIDE_NOT_USED:
        text = "The override file %s is damaged and not used: %s. The game archive's image is used in its place; "
               "the file is moved to Portraits/Reverted when this image is saved.";
        break;
    case IDS_SAVE_REPLACED_ASK:
        text = "Another program has replaced or removed\n%s\nsince this portrait was loaded.\n\nYes: save "
               "your change there; a file the other program left is kept in Portraits/Reverted.\nNo: keep what "
               "the other program left and let your change go.";
        break;
    case IDS_REASON_REPLACED_MEANWHILE:
        text = "another program replaced or removed that file since it was loaded; what it left is kept as it is";
        break;
    case IDS_REASON_FOLDER_BUSY:
        text = "another program kept the Portraits folder busy; try again";
        break;
    case IDS_REASON_CANNOT_SET_ASIDE:
        text = "the file in its way could not be moved to Portraits/Reverted: %s";
        break;
    case IDS_PACK_LEFT_OUT:
        text = "%s was written without these override files, which are damaged:\n%s";
        break;
    case IDS_PACK_DIFFERENCES:
        text = "These override files differ from the archive's images and were packed all the same:\n%s";
        break;
    case IDS_FOLDER_BUSY:
        text = "Another program kept the Portraits folder busy; try again.";
        break;
    case IDS_PACK_REASON_WRITE_FAILED:
        text = "Writing the file failed; the disk may be full.";
        break;
    case IDS_REASON_BROKEN_PNG:
        text = "The PNG file is damaged or cut short.";
        break;
    case IDS_REASON_NEEDS_PALETTE:
        text = "Using the file's palette needs a file with a palette (an indexed file).";
        break;
    case IDS_REASON_NEEDS_INDICES:
        text = "Keeping the indices needs a file with a colour map (an indexed file).";
        break;
    case IDS_KEPT_INDICES_RECOLOURED:
        text = "%d pixels now show another colour than in the file, because the image's palette differs from the "
               "file's at the indices they use.";
        break;
    case IDS_CHOOSE_EXPORT_FOLDER:
        text = "Export the catalogue into";
        break;
    case IDS_CHOOSE_IMPORT_FOLDER:
        text = "Import the catalogue from";
        break;
    case IDS_EXPORTING_CATALOGUE:
        text = "Exporting the catalogue";
        break;
    case IDS_IMPORTING_CATALOGUE:
        text = "Importing the catalogue";
        break;
    case IDS_REPLACE_EXPORT:
        text = "%s already holds an exported catalogue (manifest.json). Replace that export?";
        break;
    case IDS_CATALOGUE_EXPORTED:
        text = "The catalogue was exported into\n%s\nFiles written: %d, and manifest.json.";
        break;
    case IDS_FILES_FAILED:
        text = "These files failed:\n%s";
        break;
    case IDS_AND_MORE:
        text = "and %d more";
        break;
    case IDS_EXPORT_CANCELLED:
        text = "The export was cancelled; the manifest lists the files written before.";
        break;
    case IDS_CATALOGUE_NOT_EXPORTED:
        text = "The catalogue could not be exported into\n%s:\n%s";
        break;
    case IDS_EXPORT_REASON_NO_FOLDER:
        text = "The folder cannot be created.";
        break;
    case IDS_EXPORT_REASON_ARCHIVE:
        text = "The game archive cannot be read.";
        break;
    case IDS_EXPORT_REASON_EXISTS:
        text = "It holds an exported catalogue already.";
        break;
    case IDS_REVERT_IMAGE_NOTHING:
        text = "The %s image of %s is the game archive's own already; there is nothing to revert.";
        break;
    case IDS_UNDO_STALE:
        text = "The images of %s were changed elsewhere since they were edited here, so their edits cannot be "
               "undone or redone any more.";
        break;
    case IDS_CHOOSE_GAME_FOLDER:
        text = "Choose the Thornvale base directory";
        break;
    case IDS_REASON_CANNOT_MOVE_ASIDE:
        text = "its override file could not be moved to Portraits\\Reverted to show the game archive's image";
        break;
    case IDS_LIST_COLUMNS:
        text = "#|Name|Race|Gender|Variant|Marks";
        break;
    case IDS_LIST_SIZES:
        text = "LARGE: %s   MEDIUM: %s   SMALL: %s";
        break;
    case IDS_SOURCE_ORIGINAL:
        text = "original";
        break;
    case IDS_SOURCE_OVERRIDE:
        text = "override";
        break;
    case IDS_SOURCE_INVALID:
        text = "invalid override";
        break;
    case IDS_SOURCE_UNSAVED:
        text = "%s, unsaved";
        break;
    case IDS_SOURCE_NONE:
        text = "none";
        break;
    case IDS_EXPORT_REASON_MANIFEST:
        text = "Its manifest.json cannot be written.";
        break;
    case IDS_IMPORT_OTHER_ARCHIVE:
        text = "The catalogue in\n%s\ndoes not belong to this game: %s.\nImport it anyway?";
        break;
    case IDS_CATALOGUE_NOT_IMPORTED:
        text = "Nothing was imported from\n%s:\n%s.";
        break;
    case IDS_CATALOGUE_IMPORTED:
        text = "Frames imported: %d\nFiles unchanged: %d";
        break;
    case IDS_IMPORT_CANCELLED:
        text = "The import was cancelled; the frames taken before were saved.";
        break;
    case IDS_VALIDATE_PROBLEMS:
        text = "Problems found in the override files: %d\n%s";
        break;
    case IDS_VALIDATE_ALL_VALID:
        text = "All override files are valid.";
        break;
    case IDS_VALIDATE_NO_CATALOGUE:
        text = "There is no catalogue to check the override files against.";
        break;
    case IDS_REVERT_ASK:
        text = "Move the override files of %s to Portraits\\Reverted, so that its images load from the game archive "
               "again? Nothing is deleted; unsaved changes of this portrait are let go.";
        break;
    case IDS_REVERT_NOTHING:
        text = "%s has no override files; nothing was moved.";
        break;
    case IDS_REVERT_MOVE_FAILED:
        text = "%s could not be moved; it is left where it was.";
        break;
    case IDS_REVERT_NO_FOLDER:
        text = "The folder %s could not be made; nothing more was moved.";
        break;
    case IDS_OVERWRITE_EDITED_EXPORT:
        text = "%s is not what the export would write: it may have been edited there. Overwrite it?";
        break;
    case IDS_REPLACE_PATCH_BY_EMPTY:
        text = "There are no override files to pack, and %s holds %d entries. Replace it by an archive "
               "without any?";
        break;
    case IDS_EXPORT_KEPT_FILES:
        text = "Nothing was exported; the files in Portraits are kept as they are.";
        break;
    case IDS_DROP_ONE_FILE:
        text = "Drop one TGA or PNG file on a slot to import it into that frame.";
        break;
    case IDS_EDIT_NO_FRAME:
        text = "This slot holds no frame of this portrait; there is nothing to edit.";
        break;
    case IDS_EDIT_NOT_WRITTEN:
        text = "The frame could not be written for editing to\n%s";
        break;
    case IDS_EDIT_NOT_OPENED:
        text = "No program could be started for\n%s\nOpen it in an image editor yourself: each save of it is "
               "taken into the frame.";
        break;
    case IDS_EDIT_LAST_SAVE_NOT_TAKEN:
        text = "The last save of\n%s\nwas not taken into the frame.\n%s";
        break;
    case IDS_ACTION_FAILED:
        text = "The last action stopped before it was done: %s.\nNo file was left half-written; files that were "
               "being written are as they were before.";
        break;
    default:
        return {};
    }
    std::string s(text);
    if (s.size() > kStringBufferSize - 1)
        s.resize(kStringBufferSize - 1);
    return s;
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

const Icon& LoadAppIcon()
{
    static const Icon icon = MakeIcon();
    return icon;
}
