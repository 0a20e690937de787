// The undo histories of the portraits' edits (imports and reverts), one for
// each portrait, kept while the editor runs so that an edit can be undone
// after its portrait was left and saved. A step is undone or redone only
// over the images as it left them: when an image is no longer so (another
// program, or a catalogue import, changed its file), that portrait's
// history is let go.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "PortraitImage.h"
#include "UndoHistory.h"

class CPortraitEdits {
public:
    // At most this many steps in all the histories together; beyond it the
    // oldest step of the longest history goes.
    static constexpr size_t kMaxStepsInAll = 300;

    enum class Result { kDone, kNothing, kStale };

    // The images of the sizes as they stand, for Record after an edit.
    static std::vector<UndoStep::Image> Before(const CPortraitImage* images, const std::vector<PortraitSize>& sizes);

    // Notes an edit of the portrait's images: each with its snapshot from
    // before, and the snapshot after is taken now. Images the edit left as
    // they were are not noted; nothing is when none changed.
    void Record(int32_t portrait, const std::string& what, const std::vector<UndoStep::Image>& before,
                const CPortraitImage* images);

    // Takes back (or again) the portrait's last undone (done) step on its
    // images, which are then restored to their snapshots.
    Result Undo(int32_t portrait, CPortraitImage* images);
    Result Redo(int32_t portrait, CPortraitImage* images);
    bool CanUndo(int32_t portrait) const;
    bool CanRedo(int32_t portrait) const;

    void Forget(int32_t portrait) { m_histories.erase(portrait); }
    void ForgetAll() { m_histories.clear(); }

private:
    Result Apply(int32_t portrait, CPortraitImage* images, bool undo);
    void KeepWithinBounds();

    std::map<int32_t, CUndoHistory> m_histories;
};
