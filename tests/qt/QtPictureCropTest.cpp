// The new-portrait dialog of the window: dragging the crop moves it in the
// picture's pixels and shows the previews anew, the wheel resizes it, and a
// choice unticked is left out of the previews asked for.
#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QWheelEvent>

#include "QtCropView.h"
#include "QtPictureCropDialog.h"
#include "QtWindowKit.h"

namespace {

// Previews of one black pixel for each size chosen, counted.
class CountedPreviews : public IPicturePreviews {
public:
    std::vector<PicturePreview> Previews(const PictureCropChoice& choice) override {
        ++asked;
        last = choice;
        std::vector<PicturePreview> out;
        for (bool size : choice.sizes)
            if (size)
                out.push_back({"SIZE", 1, 1, {0, 0, 0}, ""});
        return out;
    }
    int asked = 0;
    PictureCropChoice last;
};

void SendMouse(QWidget& to, QEvent::Type type, QPointF at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, to.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&to, &event);
}

} // namespace

TEST(QtPictureCropTest, DraggingAndTheWheelMoveAndResizeTheCropAndRefreshThePreviews)
{
    // A 1120 x 840 picture is shown at half its size.
    const std::vector<uint8_t> rgb(1120 * 840 * 3, 128);
    PictureCropRequest request;
    request.width = 1120;
    request.height = 840;
    request.rgb = &rgb;
    request.aspectWidth = 179;
    request.aspectHeight = 143;
    request.initial.crop = {100, 100, 100 + 358, 100 + 286};
    CountedPreviews previews;
    CQtPictureCropDialog dialog(nullptr, request, previews);
    ASSERT_EQ(previews.asked, 1);
    EXPECT_EQ(dialog.Shown().size(), 3u);
    CQtCropView& view = *dialog.CropView();
    EXPECT_EQ(view.width(), 560);

    // Dragged from inside by 50 view pixels: 100 of the picture's.
    SendMouse(view, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    SendMouse(view, QEvent::MouseMove, {150, 120}, Qt::LeftButton);
    SendMouse(view, QEvent::MouseButtonRelease, {150, 120}, Qt::NoButton);
    EXPECT_EQ(view.Crop().left, 200);
    EXPECT_EQ(view.Crop().top, 140);
    QApplication::processEvents();
    EXPECT_EQ(previews.asked, 2);
    EXPECT_EQ(previews.last.crop, view.Crop());

    // The wheel turned away closes in about the centre.
    const int32_t height = view.Crop().Height();
    QWheelEvent wheel({200, 150}, view.mapToGlobal(QPointF(200, 150)), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_LT(view.Crop().Height(), height);

    // A size unticked is not previewed, and the choice says so.
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
        if (box->text() == "SMALL")
            box->setChecked(false);
    QApplication::processEvents();
    EXPECT_FALSE(dialog.Choice().sizes[2]);
    EXPECT_EQ(dialog.Shown().size(), 2u);
}
