// The Options menu's items and the exchange options they stand for: the
// export format, the import mode, the colour matching and dithering.
#pragma once

#include <cstdint>

#include "ExportFileName.h"
#include "ImportOptions.h"

class CDialog;

// Applies the choice of a menu item to the options; false, with nothing
// changed, for an id that is none of the Options menu's items. Dithering
// turns on and off; the other items select what they name.
bool ApplyOptionsMenuItem(int32_t id, ImportOptions& options, ExportFormat& format);

// Whether the item's check mark is on for the options.
bool IsOptionsMenuItemChecked(int32_t id, const ImportOptions& options, ExportFormat format);

// Sets every check mark of the dialog's Options menu from the options.
void ShowOptionsInMenu(CDialog& dialog, const ImportOptions& options, ExportFormat format);
