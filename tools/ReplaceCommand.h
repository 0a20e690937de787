// portrait-tool replace: a new portrait from pictures in one step, through
// the editor model as the window does it. Its arguments are checked before
// anything is touched; the pictures are named relative to where the tool
// was started.
#pragma once

#include <string>
#include <vector>

#include "PortraitFromPicture.h"

class CToolSession;

struct ReplaceArguments {
    std::string portrait;
    PictureReplaceRequest request;
    std::string preview; // a PNG sheet of the images as they land, when named
    bool dryRun = false;
    bool json = false;
};

// The arguments after "replace": a portrait, one or more pictures, then the
// options. An empty string when they are right, else what is wrong.
std::string ParseReplace(const std::vector<std::string>& rest, ReplaceArguments& out);

// Replaces, says what each image took, and saves (unless a dry run): 0 when
// done, 1 with the reason on standard error.
int RunReplace(CToolSession& session, const ReplaceArguments& arguments);
