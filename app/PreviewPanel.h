// The preview panel beside the client area: one frame scaled by whole
// factors (nearest neighbour) from 1x to 8x, or as large as fits, centred on
// a background of the dialog's grey, black or a checkerboard; and the
// animation of the MEDIUM image's frames, stepped by a timer.
#pragma once

#include <cstdint>
#include <vector>

#include "Canvas.h"
#include "PortraitImage.h"

enum class PreviewBackground { kGrey, kBlack, kCheckerboard };

class CPreviewPanel {
public:
    static constexpr int32_t kMaxZoom = 8;
    static constexpr int32_t kFit = 0;
    // The checkerboard's squares, in panel pixels, and their colours.
    static constexpr int32_t kSquare = 8;
    static constexpr uint32_t kLightSquare = 0xFFFFFF;
    static constexpr uint32_t kDarkSquare = 0xC0C0C0;

    // kFit, or a factor of 1 to kMaxZoom.
    int32_t Zoom() const { return m_zoom; }
    void SetZoom(int32_t zoom);
    // One factor up or down from the one shown last (fit's too).
    void ZoomIn();
    void ZoomOut();
    // The factor a frame of width x height is drawn at on a canvas: the
    // zoom, or for fit the largest that shows it whole (at least 1).
    int32_t ScaleFor(int32_t width, int32_t height, const CCanvas& canvas) const;

    PreviewBackground Background() const { return m_background; }
    void SetBackground(PreviewBackground background) { m_background = background; }

    // The animation: whether it plays, its interval and the frame it shows.
    bool IsPlaying() const { return m_playing; }
    void SetPlaying(bool playing) { m_playing = playing; }
    int32_t IntervalMs() const { return m_intervalMs; }
    void SetIntervalMs(int32_t milliseconds) { m_intervalMs = milliseconds; }
    int32_t AnimationFrame() const { return m_animationFrame; }
    // The next of frameCount frames, after the last the first again.
    void Step(int32_t frameCount);
    void Rewind() { m_animationFrame = 0; }

    // Whether the pixels an import left far from the file's colours are
    // outlined.
    bool IsShowingColourLoss() const { return m_showingColourLoss; }
    void SetShowingColourLoss(bool showing) { m_showingColourLoss = showing; }

    // Fills the canvas with the background and draws the image's frame
    // centred on it (from its top-left corner where it is larger); only the
    // background where the frame has no pixels.
    void Paint(CCanvas& canvas, const CPortraitImage& image, int32_t frame);
    // Over the frame Paint drew last, of width x height, outlines the pixels
    // whose byte in mask (width x height, rows top first) is not 0: each
    // edge between such a pixel and one that is not, or the frame's border,
    // is drawn in kOutline, inside the pixel.
    static constexpr uint32_t kOutline = 0xFF00FF;
    void OutlinePixels(CCanvas& canvas, const std::vector<uint8_t>& mask, int32_t width, int32_t height) const;

private:
    void PaintBackground(CCanvas& canvas) const;

    int32_t m_zoom = kFit;
    int32_t m_lastScale = 1;
    int32_t m_lastLeft = 0, m_lastTop = 0;
    bool m_showingColourLoss = false;
    PreviewBackground m_background = PreviewBackground::kGrey;
    bool m_playing = false;
    int32_t m_intervalMs = 125;
    int32_t m_animationFrame = 0;
};
