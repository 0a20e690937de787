#include "PortraitEdits.h"

#include <utility>

namespace {

bool SameBytes(const ImageSnapshot& a, const ImageSnapshot& b)
{
    return a.bytes && b.bytes && *a.bytes == *b.bytes;
}

} // namespace

std::vector<UndoStep::Image> CPortraitEdits::Before(const CPortraitImage* images,
                                                    const std::vector<PortraitSize>& sizes)
{
    std::vector<UndoStep::Image> before;
    for (PortraitSize size : sizes) {
        UndoStep::Image image;
        image.size = size;
        if (images[size].TakeSnapshot(image.before))
            before.push_back(std::move(image));
    }
    return before;
}

void CPortraitEdits::Record(int32_t portrait, const std::string& what, const std::vector<UndoStep::Image>& before,
                            const CPortraitImage* images)
{
    UndoStep step;
    step.what = what;
    for (UndoStep::Image image : before) {
        if (!image.before.bytes || !images[image.size].TakeSnapshot(image.after))
            continue;
        if (SameBytes(image.before, image.after) && image.before.original == image.after.original)
            continue;
        step.images.push_back(std::move(image));
    }
    if (step.images.empty())
        return;
    m_histories[portrait].Add(std::move(step));
    KeepWithinBounds();
}

CPortraitEdits::Result CPortraitEdits::Undo(int32_t portrait, CPortraitImage* images)
{
    return Apply(portrait, images, true);
}

CPortraitEdits::Result CPortraitEdits::Redo(int32_t portrait, CPortraitImage* images)
{
    return Apply(portrait, images, false);
}

bool CPortraitEdits::CanUndo(int32_t portrait) const
{
    const auto it = m_histories.find(portrait);
    return it != m_histories.end() && it->second.ToUndo();
}

bool CPortraitEdits::CanRedo(int32_t portrait) const
{
    const auto it = m_histories.find(portrait);
    return it != m_histories.end() && it->second.ToRedo();
}

CPortraitEdits::Result CPortraitEdits::Apply(int32_t portrait, CPortraitImage* images, bool undo)
{
    const auto it = m_histories.find(portrait);
    if (it == m_histories.end())
        return Result::kNothing;
    CUndoHistory& history = it->second;
    const UndoStep* step = undo ? history.ToUndo() : history.ToRedo();
    if (!step)
        return Result::kNothing;
    // The images must be as the step left them (undo) or found them (redo).
    for (const UndoStep::Image& image : step->images) {
        ImageSnapshot now;
        if (!images[image.size].TakeSnapshot(now) || !SameBytes(now, undo ? image.after : image.before)) {
            m_histories.erase(it);
            return Result::kStale;
        }
    }
    for (const UndoStep::Image& image : step->images)
        images[image.size].RestoreSnapshot(undo ? image.before : image.after);
    if (undo)
        history.Undone();
    else
        history.Redone();
    return Result::kDone;
}

void CPortraitEdits::KeepWithinBounds()
{
    size_t total = 0;
    for (const auto& [portrait, history] : m_histories)
        total += history.Size();
    while (total > kMaxStepsInAll) {
        auto longest = m_histories.begin();
        for (auto it = m_histories.begin(); it != m_histories.end(); ++it)
            if (it->second.Size() > longest->second.Size())
                longest = it;
        longest->second.DropOldest();
        --total;
    }
}
