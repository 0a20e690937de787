#include "WindowMemory.h"

#include <algorithm>
#include <cstdio>

#include "EditorModel.h"

namespace {

constexpr size_t kStride = 3; // strings a folder

std::string PlacementText(const std::optional<WindowPlacement>& p)
{
    if (!p)
        return {};
    return std::to_string(p->x) + " " + std::to_string(p->y) + " " + std::to_string(p->width) + " " +
           std::to_string(p->height) + " " + (p->maximized ? "1" : "0");
}

// A placement as PlacementText wrote it; none for anything else, or a size
// no window has.
std::optional<WindowPlacement> ParsePlacement(const std::string& text)
{
    WindowPlacement p;
    int maximized = 0, used = 0;
    if (std::sscanf(text.c_str(), "%d %d %d %d %d%n", &p.x, &p.y, &p.width, &p.height, &maximized, &used) != 5 ||
        static_cast<size_t>(used) != text.size() || p.width <= 0 || p.height <= 0)
        return std::nullopt;
    p.maximized = maximized != 0;
    return p;
}

} // namespace

std::vector<CWindowMemory::Entry> CWindowMemory::Read(const IDialogHost& host)
{
    const std::vector<std::string> stored = host.ReadSetting(kKey);
    std::vector<Entry> entries;
    for (size_t i = 0; i + kStride <= stored.size() && entries.size() < kMaxFolders; i += kStride)
        if (!stored[i].empty())
            entries.push_back({stored[i], ParsePlacement(stored[i + 1]), stored[i + 2]});
    return entries;
}

std::optional<CWindowMemory::Entry> CWindowMemory::Find(const IDialogHost* host, const std::string& folder)
{
    if (!host)
        return std::nullopt;
    for (Entry& entry : Read(*host))
        if (entry.folder == folder)
            return std::move(entry);
    return std::nullopt;
}

void CWindowMemory::Remember(IDialogHost& host, const CEditorModel& model)
{
    Entry now{model.BaseDir(), std::nullopt, {}};
    WindowPlacement placement;
    if (host.GetWindowPlacement(placement))
        now.placement = placement;
    if (const PortraitRecord* record = model.Record(model.CurrentPortrait()))
        now.portrait = record->GetName();
    // This folder first; what the host cannot tell is kept from before.
    std::vector<Entry> entries = Read(host);
    const auto before = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.folder == now.folder; });
    if (before != entries.end()) {
        if (!now.placement)
            now.placement = before->placement;
        entries.erase(before);
    }
    // Written in that order, this folder's first, at most kMaxFolders.
    std::vector<const Entry*> order{&now};
    for (const Entry& entry : entries)
        if (order.size() < kMaxFolders)
            order.push_back(&entry);
    std::vector<std::string> stored;
    for (const Entry* e : order) {
        const Entry& entry = *e;
        stored.push_back(entry.folder);
        stored.push_back(PlacementText(entry.placement));
        stored.push_back(entry.portrait);
    }
    host.WriteSetting(kKey, stored);
}

int32_t CWindowMemory::RecallPortrait(const IDialogHost* host, const CEditorModel& model)
{
    const std::optional<Entry> entry = Find(host, model.BaseDir());
    for (int32_t i = 0; entry && i < model.PortraitCount(); ++i)
        if (model.Record(i)->GetName() == entry->portrait)
            return i;
    return 0;
}

void CWindowMemory::RecallPlacement(IDialogHost& host, const CEditorModel& model)
{
    const std::optional<Entry> entry = Find(&host, model.BaseDir());
    if (entry && entry->placement)
        host.SetWindowPlacement(*entry->placement);
}
