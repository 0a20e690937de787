#include "PreviewPanel.h"

#include <algorithm>

#include "DialogHost.h"

void CPreviewPanel::SetZoom(int32_t zoom)
{
    m_zoom = std::clamp(zoom, kFit, kMaxZoom);
}

void CPreviewPanel::ZoomIn()
{
    SetZoom(std::max(1, std::min(m_lastScale + 1, kMaxZoom)));
}

void CPreviewPanel::ZoomOut()
{
    SetZoom(std::max(1, m_lastScale - 1));
}

int32_t CPreviewPanel::ScaleFor(int32_t width, int32_t height, const CCanvas& canvas) const
{
    if (m_zoom != kFit)
        return m_zoom;
    if (width <= 0 || height <= 0)
        return 1;
    const int32_t fits = std::min(canvas.Width() / width, canvas.Height() / height);
    return std::clamp(fits, 1, kMaxZoom);
}

void CPreviewPanel::Step(int32_t frameCount)
{
    m_animationFrame = frameCount > 0 ? (m_animationFrame + 1) % frameCount : 0;
}

void CPreviewPanel::PaintBackground(CCanvas& canvas) const
{
    if (m_background != PreviewBackground::kCheckerboard) {
        canvas.FillRect(0, 0, canvas.Width(), canvas.Height(),
                        m_background == PreviewBackground::kBlack ? 0x000000 : kDialogBackgroundRgb);
        return;
    }
    for (int32_t y = 0; y < canvas.Height(); y += kSquare)
        for (int32_t x = 0; x < canvas.Width(); x += kSquare)
            canvas.FillRect(x, y, x + kSquare, y + kSquare,
                            ((x / kSquare + y / kSquare) % 2) == 0 ? kLightSquare : kDarkSquare);
}

void CPreviewPanel::Paint(CCanvas& canvas, const CPortraitImage& image, int32_t frame)
{
    PaintBackground(canvas);
    const CRasterSurface* surface = image.GetDisplaySurface(frame);
    if (!surface || !surface->m_hBitmap)
        return;
    int32_t width = 0, height = 0;
    image.GetFrameSize(frame, width, height);
    // The frame's own pixels, without the columns that widen its rows.
    width = std::min(width, surface->m_width);
    height = std::min(height, surface->m_height);
    if (width <= 0 || height <= 0)
        return;
    CCanvas pixels(width, height);
    surface->BlitTo(pixels, 0, 0);
    const int32_t scale = ScaleFor(width, height, canvas);
    m_lastScale = scale;
    const int32_t left = std::max(0, (canvas.Width() - width * scale) / 2);
    const int32_t top = std::max(0, (canvas.Height() - height * scale) / 2);
    // Only the rows and columns that reach the canvas are drawn.
    const int32_t rows = std::min(height, (canvas.Height() - top + scale - 1) / scale);
    const int32_t columns = std::min(width, (canvas.Width() - left + scale - 1) / scale);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < columns; ++x)
            canvas.FillRect(left + x * scale, top + y * scale, left + (x + 1) * scale, top + (y + 1) * scale,
                            pixels.GetPixel(x, y));
}
