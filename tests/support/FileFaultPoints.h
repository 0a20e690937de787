// The file operations an action makes, so that a test can fail each of them
// in turn through the file layer's fault hook.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FileFaults.h"

struct FileFaultPoint {
    FileOperation op;
    int64_t n; // the n-th operation of its kind, from 1
    std::string Name() const;
};

// Runs the action once without faults and lists every write, flush, sync
// and rename it made.
std::vector<FileFaultPoint> FileFaultPoints(const std::function<void()>& action);
