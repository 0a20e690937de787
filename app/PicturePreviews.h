// The images a picture's crop will become, for the window's dialog to show
// while the crop is moved: for each size chosen, frame 0 of the current
// portrait's image as the replace makes it (the crop fitted to its size,
// matched to its palette or to a new one made for it, or a true-colour
// image's 16-bit colours), shown as red, green, blue.
#pragma once

#include <vector>

#include "Picture.h"
#include "PictureCropRequest.h"

class CEditorModel;

class CPicturePreviews : public IPicturePreviews {
public:
    // The model and picture must outlive the previews.
    CPicturePreviews(const CEditorModel& model, const Picture& picture) : m_model(model), m_picture(picture) {}

    std::vector<PicturePreview> Previews(const PictureCropChoice& choice) override;

private:
    const CEditorModel& m_model;
    const Picture& m_picture;
};
