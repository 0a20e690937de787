// The undo and redo of the current portrait's edits. Each step holds the
// images it changed as they were before and after it; a new step drops the
// steps that were undone, and the oldest go once there are kMaxSteps.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "PortraitImage.h"
#include "PortraitTypes.h"

struct UndoStep {
    struct Image {
        PortraitSize size = kSizeLarge;
        ImageSnapshot before, after;
    };
    std::string what; // what the menu names: "Import", "Revert"
    std::vector<Image> images;
};

class CUndoHistory {
public:
    static constexpr size_t kMaxSteps = 100;

    void Add(UndoStep step);
    void Clear();

    // The step that Undo would take back and the one Redo would take again;
    // null when there is none.
    const UndoStep* ToUndo() const;
    const UndoStep* ToRedo() const;
    // Moves past the step given by ToUndo or ToRedo, once it is applied.
    void Undone();
    void Redone();

private:
    std::deque<UndoStep> m_steps;
    size_t m_done = 0; // the steps before this are done, the others undone
};
