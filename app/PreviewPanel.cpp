#include "PreviewPanel.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "CheckedSize.h"
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
    // A frame's pixels are bounded by its image's budget, and a widened row
    // by 8 times a surface's widest.
    uint64_t framePixels = 0;
    if (width <= 0 || height <= 0 ||
        !CheckedMul(static_cast<uint64_t>(width), static_cast<uint64_t>(height), framePixels) ||
        framePixels > kMaxImagePixels)
        return;
    CCanvas pixels(width, height);
    surface->BlitTo(pixels, 0, 0);
    const int32_t scale = ScaleFor(width, height, canvas);
    m_lastScale = scale;
    const int32_t left = std::max(0, (canvas.Width() - width * scale) / 2);
    const int32_t top = std::max(0, (canvas.Height() - height * scale) / 2);
    m_lastLeft = left;
    m_lastTop = top;
    // Each frame row is widened once, then copied to its scale rows; only
    // the rows that reach the canvas are drawn.
    std::vector<uint8_t> row(static_cast<size_t>(width) * static_cast<size_t>(scale) * 4);
    const int32_t rows = std::min(height, (canvas.Height() - top + scale - 1) / scale);
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* source = pixels.Bits() + static_cast<size_t>(y) * static_cast<size_t>(pixels.Stride());
        uint8_t* out = row.data();
        for (int32_t x = 0; x < width; ++x, source += 4)
            for (int32_t copy = 0; copy < scale; ++copy, out += 4)
                std::memcpy(out, source, 4);
        for (int32_t copy = 0; copy < scale; ++copy)
            canvas.Blit32(left, top + y * scale + copy, width * scale, 1, row.data(), row.size());
    }
}

void CPreviewPanel::OutlinePixels(CCanvas& canvas, const std::vector<uint8_t>& mask, int32_t width,
                                  int32_t height) const
{
    if (width <= 0 || height <= 0 || mask.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return;
    const int32_t s = m_lastScale;
    // A line a pixel thick at 1x to 3x, two from 4x on.
    const int32_t thick = s >= 4 ? 2 : 1;
    auto far = [&](int32_t x, int32_t y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0;
    };
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            if (!far(x, y))
                continue;
            const int32_t left = m_lastLeft + x * s, top = m_lastTop + y * s;
            if (!far(x, y - 1))
                canvas.FillRect(left, top, left + s, top + thick, kOutline);
            if (!far(x, y + 1))
                canvas.FillRect(left, top + s - thick, left + s, top + s, kOutline);
            if (!far(x - 1, y))
                canvas.FillRect(left, top, left + thick, top + s, kOutline);
            if (!far(x + 1, y))
                canvas.FillRect(left + s - thick, top, left + s, top + s, kOutline);
        }
}
