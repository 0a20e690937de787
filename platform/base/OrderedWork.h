// Work on a list of items that can be prepared side by side but must be
// finished one at a time, in order: each item is prepared on a worker
// thread, a few ahead of the one being finished, and finished on the
// calling thread. The export of a catalogue prepares a portrait's files
// (decoding and compressing, which is most of its time) on the workers and
// writes them, in the catalogue's order, where the caller's progress and
// file layer live.
#pragma once

#include <cstddef>
#include <functional>

class COrderedWork {
public:
    // prepare(i) runs on a worker, for every i below count, while at most
    // `ahead` items wait to be finished; it must not throw (an exception it
    // lets out is dropped, and the item is finished as it stands).
    // finish(i) runs on the calling thread once prepare(i) has returned,
    // for i = 0, 1, ... in order; when it returns false no item after i is
    // finished, and no further one is started. Returns false when a finish
    // stopped the work. Without room for a thread, everything runs on the
    // calling thread, in the same order.
    static bool Run(size_t count, size_t workers, size_t ahead, const std::function<void(size_t)>& prepare,
                    const std::function<bool(size_t)>& finish);

    // Workers worth starting beside the calling thread on this machine: one
    // per core, at least 1.
    static size_t Workers();
};
