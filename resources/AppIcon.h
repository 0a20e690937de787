// Icon 128, the editor's own: the window shows it, and the desktop gets it
// scaled to the sizes it asks for.
#pragma once

#include "Icon.h"

// A portrait bust in a frame, 32 x 32 pixels, painted once on first use.
const Icon& LoadAppIcon();
