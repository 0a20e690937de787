// The Qt host's dialog for a new portrait from a picture: the picture with
// its crop (CQtCropView) on the left, the images as they will land on the
// right, asked anew after each change of the crop or a choice (changes that
// come together are shown once), and the choices with OK and Cancel below.
#pragma once

#include <QDialog>
#include <QTimer>
#include <vector>

#include "PictureCropRequest.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QVBoxLayout;
class CQtCropView;

class CQtPictureCropDialog : public QDialog {
public:
    CQtPictureCropDialog(QWidget* owner, const PictureCropRequest& request, IPicturePreviews& previews);

    PictureCropChoice Choice() const;
    // Shows the previews of the choice now (tests read them here).
    void RefreshNow();
    const std::vector<PicturePreview>& Shown() const { return m_shown; }
    CQtCropView* CropView() const { return m_view; }

private:
    void Changed();

    IPicturePreviews& m_previews;
    CQtCropView* m_view = nullptr;
    QCheckBox* m_newPalette = nullptr;
    QCheckBox* m_perceptual = nullptr;
    QCheckBox* m_dither = nullptr;
    QCheckBox* m_sizes[3] = {};
    QDialogButtonBox* m_buttons = nullptr;
    QVBoxLayout* m_previewColumn = nullptr;
    std::vector<QLabel*> m_previewLabels;
    std::vector<PicturePreview> m_shown;
    QTimer m_refresh;
};
