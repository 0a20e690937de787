// Shared pieces of the editor's end-to-end tests: a game directory that the
// dialog is opened in, TGA files to import, and readers for the canvas.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PortraitEditorDlg.h"
#include "Resources.h"
#include "GameDir.h"
#include "ScriptedHost.h"
#include "TestGame.h"

constexpr uint32_t kWhiteRgb = 0xFFFFFF;
constexpr uint32_t kBlackRgb = 0x000000;

// The base name that the override file of a portrait's size is named after.
std::string EditorBaseName(const TestPortrait& p, char sizeLetter);

// A dialog opened by the tests' headless host in a game directory made from entries.
// The host is declared before the dialog so that it outlives it, as a window
// outlives the dialog object that it shows.
class EditorFixture : public ::testing::Test {
protected:
    void Open(const std::vector<TestEntry>& entries);
    void TearDown() override;

    uint32_t Px(int32_t x, int32_t y) { return host.Canvas().GetPixel(x, y); }
    // The colour shown one pixel in from a slot's top-left corner: frame
    // pixel (1, 1), which is past the test frames' left border of index 0.
    uint32_t SlotPx(int32_t slot);
    // True when every pixel of the rectangle has the colour.
    bool AllPixels(const PixelRect& r, uint32_t rgb);
    std::string Text(int32_t id) const { return host.GetControlText(id); }
    const CScriptedHost::ScrollBarState& Bar() const { return *host.ScrollBar(IDC_PORTRAIT_SCROLLBAR); }
    // Writes a TGA into a folder outside the game directory and returns its path.
    std::string WriteTga(const std::string& name, const std::vector<uint8_t>& bytes);
    // Chooses the slot by clicking inside it and imports the file through the
    // file dialog.
    void ImportInto(int32_t slot, const std::string& tgaPath);
    std::string PortraitsFile(const std::string& name) const { return *game / ("Portraits/" + name); }

    std::unique_ptr<GameDir> game;
    std::unique_ptr<ScopedChdir> cd;
    std::vector<uint8_t> archiveBefore;
    TempDir files;
    CScriptedHost host;
    CPortraitEditorDlg dlg;
};

// A point inside a drawing slot, one pixel in from its top-left corner.
ClientPoint InsideSlot(int32_t slot);
