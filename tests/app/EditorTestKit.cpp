#include "EditorTestKit.h"

std::string EditorBaseName(const TestPortrait& p, char sizeLetter)
{
    return std::string(1, sizeLetter) + TestPortraitName(p);
}

void EditorFixture::Open(const std::vector<TestEntry>& entries)
{
    game = std::make_unique<GameDir>(entries);
    archiveBefore = game->ArchiveBytes();
    cd = std::make_unique<ScopedChdir>(game->Base());
    host.Open(dlg);
}

void EditorFixture::TearDown()
{
    // The game's archive is only ever read, whatever the test did.
    if (game) {
        EXPECT_EQ(game->ArchiveBytes(), archiveBefore);
    }
}

uint32_t EditorFixture::SlotPx(int32_t slot)
{
    const ClientPoint p = InsideSlot(slot);
    return Px(p.x, p.y);
}

bool EditorFixture::AllPixels(const PixelRect& r, uint32_t rgb)
{
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            if (Px(x, y) != rgb)
                return false;
    return true;
}

std::string EditorFixture::WriteTga(const std::string& name, const std::vector<uint8_t>& bytes)
{
    files.WriteFile(name, bytes);
    return files / name;
}

void EditorFixture::ImportInto(int32_t slot, const std::string& tgaPath)
{
    const ClientPoint p = InsideSlot(slot);
    host.Click(p.x, p.y);
    host.QueueOpenFileAnswer(tgaPath);
    host.Command(IDC_IMPORT);
}

ClientPoint InsideSlot(int32_t slot)
{
    // The layout is written out here rather than asked of the dialog, so that
    // a wrong layout cannot agree with itself.
    if (slot == 0)
        return {11, 11};
    if (slot == 1)
        return {201, 11};
    if (slot == 2)
        return {303, 11};
    if (slot <= 7)
        return {11 + 102 * (slot - 3), 165};
    return {11 + 102 * (slot - 8), 247};
}
