// The portrait list beside the client area: a row per portrait with its
// number, name, race, gender, variant and marks, and the line under it that
// says where each size of the current portrait loads from. Marks: "*" an
// image with unsaved changes, "O" an override file in use, "!" an override
// file that cannot be used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CatalogueOperations.h"
#include "DialogHost.h"
#include "PortraitRecord.h"

class CPortraitList {
public:
    static std::vector<std::string> Columns();

    // The portraits in the editor's order with where their images load from.
    void Reset(const std::vector<const PortraitRecord*>& records, const std::vector<PortraitStatus>& statuses);
    void SetStatus(int32_t portrait, const PortraitStatus& status);
    // Which sizes of the portrait have unsaved changes; false when that
    // changed nothing.
    bool SetUnsaved(int32_t portrait, const bool (&unsaved)[kSizeCount]);
    bool HasUnsaved(int32_t portrait) const;
    // The size was saved: it loads from its override file, unchanged.
    void MarkSaved(int32_t portrait, PortraitSize size);

    int32_t Count() const { return static_cast<int32_t>(m_entries.size()); }
    std::vector<ListRow> Rows() const;
    // "LARGE: override   MEDIUM: original, unsaved   SMALL: none".
    std::string SizesLine(int32_t portrait) const;
    // Type-ahead: the first portrait from `from` on, going round past the
    // last, whose name starts with the text (in any case); -1 for none.
    int32_t FindByName(const std::string& text, int32_t from) const;

private:
    struct Entry {
        const PortraitRecord* record = nullptr;
        PortraitStatus status;
        bool unsaved[kSizeCount] = {};
    };
    ListRow Row(const Entry& entry, int32_t index) const;

    std::vector<Entry> m_entries;
};
