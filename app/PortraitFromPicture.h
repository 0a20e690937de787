// A new portrait from pictures in one step: each image of the current
// portrait (of the sizes chosen) gets the crop of a picture fitted to each of
// its frames, remapped to its own palette, or to one new palette made for
// all its frames (entry 0 kept), with the options' metric and dithering (a
// true-colour image takes the pixels as they are, with ordered dithering
// against banding when dithering is asked), as one
// entry of the portrait's history. The first picture goes to LARGE, SMALL
// and MEDIUM frame 0; with several pictures MEDIUM frame k gets picture k,
// the last repeating when there are fewer pictures than frames.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ImportOptions.h"
#include "Picture.h"
#include "PictureFit.h"
#include "PortraitTypes.h"
#include "ReplaceFailure.h"

class CEditorModel;

struct PictureReplaceRequest {
    std::vector<std::string> pictures; // host paths, at least one
    std::optional<CropRect> crop;      // in the pictures' pixels; else by the gravity
    CropGravity gravity = CropGravity::kCentre;
    // The crop is the first picture's: another picture takes it where it
    // fits and its own by the gravity where not (the window, which shows
    // the first picture only).
    bool cropFirstOnly = false;
    ImportOptions options;             // its mode is taken as remap
    bool newPalette = false;           // one new palette for each palette image's frames, entry 0 kept
    bool sizes[kSizeCount] = {true, true, true};
};

// What each image took.
struct PictureReplaceImage {
    PortraitSize size = kSizeLarge;
    bool palette = false;    // a palette image (remapped), else true colour
    int32_t frames = 0;
    int64_t farPixels = 0;   // pixels far from the picture's colours
    double largestDistance = 0.0;
    ReplaceFailure firstFrame; // what frame 0's remap left: its colour loss
};

struct PictureReplaceResult {
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kPictureRefused = -1; // a picture could not be read
    static constexpr int32_t kCropOutside = -2;    // the crop given does not lie in a picture
    static constexpr int32_t kNothingToReplace = -3;
    static constexpr int32_t kCannotSave = -4;     // an image's changes could never be saved
    int32_t result = kOk;
    std::string reason; // for a refusal: what and why
    std::vector<PictureReplaceImage> images;
};

class CPortraitFromPicture {
public:
    explicit CPortraitFromPicture(CEditorModel& model) : m_model(model) {}

    // Replaces the current portrait's images; on a refusal nothing changes.
    PictureReplaceResult Replace(const PictureReplaceRequest& request);
    // The same with the request's pictures read already, in its order.
    PictureReplaceResult Replace(const PictureReplaceRequest& request, const std::vector<Picture>& pictures);

    // Reads the pictures as large as the current portrait's images need
    // them, and at least shownWidth x shownHeight (a JPEG is decoded at a
    // fraction of its size when that is enough); kOk, or kPictureRefused
    // with the reason.
    PictureReplaceResult ReadPictures(const std::vector<std::string>& paths, std::vector<Picture>& pictures,
                                      int32_t shownWidth = 0, int32_t shownHeight = 0) const;

private:
    // The images of the sizes asked that can be replaced; kOk, or why not.
    PictureReplaceResult Targets(const PictureReplaceRequest& request, std::vector<PortraitSize>& sizes) const;

    CEditorModel& m_model;
};
