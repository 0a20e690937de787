// Folders offered above a folder chooser, to be chosen with a click. They
// may still be coming in while the chooser is shown, from work on another
// thread: the chooser asks for them again until they are all there.
#pragma once

#include <string>
#include <vector>

struct FolderSuggestion {
    std::string folder; // a host path
    std::string note;   // shown beside it: where it was found
    bool operator==(const FolderSuggestion&) const = default;
};

struct FolderSuggestions {
    std::vector<FolderSuggestion> folders;
    std::string caption; // what the chooser says above them
    bool complete = false; // no more will come
};

class IFolderSuggestions {
public:
    virtual ~IFolderSuggestions() = default;
    // What there is to offer now. Asked on the user-interface thread, as
    // often as the chooser likes until it is complete; it never waits.
    virtual FolderSuggestions Poll() = 0;
};
