#include "OptionsMenu.h"

#include "Dialog.h"
#include "Resources.h"

bool ApplyOptionsMenuItem(int32_t id, ImportOptions& options, ExportFormat& format)
{
    switch (id) {
    case ID_OPTIONS_EXPORT_TGA: format = ExportFormat::kTga; return true;
    case ID_OPTIONS_EXPORT_PNG: format = ExportFormat::kPng; return true;
    case ID_OPTIONS_IMPORT_REMAP: options.mode = ImportMode::kRemap; return true;
    case ID_OPTIONS_IMPORT_KEEP_INDICES: options.mode = ImportMode::kKeepIndices; return true;
    case ID_OPTIONS_IMPORT_FILE_PALETTE: options.mode = ImportMode::kFilePalette; return true;
    case ID_OPTIONS_MATCH_CLASSIC: options.metric = ColourMetric::kClassic; return true;
    case ID_OPTIONS_MATCH_PERCEPTUAL: options.metric = ColourMetric::kPerceptual; return true;
    case ID_OPTIONS_DITHER: options.dither = !options.dither; return true;
    default: return false;
    }
}

bool IsOptionsMenuItemChecked(int32_t id, const ImportOptions& options, ExportFormat format)
{
    switch (id) {
    case ID_OPTIONS_EXPORT_TGA: return format == ExportFormat::kTga;
    case ID_OPTIONS_EXPORT_PNG: return format == ExportFormat::kPng;
    case ID_OPTIONS_IMPORT_REMAP: return options.mode == ImportMode::kRemap;
    case ID_OPTIONS_IMPORT_KEEP_INDICES: return options.mode == ImportMode::kKeepIndices;
    case ID_OPTIONS_IMPORT_FILE_PALETTE: return options.mode == ImportMode::kFilePalette;
    case ID_OPTIONS_MATCH_CLASSIC: return options.metric == ColourMetric::kClassic;
    case ID_OPTIONS_MATCH_PERCEPTUAL: return options.metric == ColourMetric::kPerceptual;
    case ID_OPTIONS_DITHER: return options.dither;
    default: return false;
    }
}

void ShowOptionsInMenu(CDialog& dialog, const ImportOptions& options, ExportFormat format)
{
    for (const PopupMenuTemplate& popup : PortraitEditorMenu().menus)
        for (const MenuItemTemplate& item : popup.items)
            if (item.id >= ID_OPTIONS_EXPORT_TGA && item.id <= ID_OPTIONS_DITHER)
                dialog.CheckMenuItem(item.id, IsOptionsMenuItemChecked(item.id, options, format));
}
