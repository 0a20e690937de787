#include "FileFaultPoints.h"

std::string FileFaultPoint::Name() const
{
    static const char* const kNames[kFileOperationCount] = {"write", "flush", "sync", "rename", "mkdir"};
    return std::string(kNames[static_cast<int>(op)]) + " " + std::to_string(n);
}

std::vector<FileFaultPoint> FileFaultPoints(const std::function<void()>& action)
{
    CFileFaults::Reset();
    action();
    std::vector<FileFaultPoint> points;
    for (int i = 0; i < kFileOperationCount; ++i) {
        const auto op = static_cast<FileOperation>(i);
        for (int64_t n = 1; n <= CFileFaults::Count(op); ++n)
            points.push_back({op, n});
    }
    CFileFaults::Reset();
    return points;
}
