#include "PortraitList.h"

#include <cctype>

#include "RaceTable.h"
#include "Resources.h"

namespace {

bool StartsWithNoCase(const std::string& name, const std::string& text)
{
    if (text.size() > name.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

} // namespace

std::vector<std::string> CPortraitList::Columns()
{
    std::vector<std::string> columns;
    const std::string text = LoadResourceString(IDS_LIST_COLUMNS);
    size_t start = 0;
    for (size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
        columns.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    columns.push_back(text.substr(start));
    return columns;
}

void CPortraitList::Reset(const std::vector<const PortraitRecord*>& records,
                          const std::vector<PortraitStatus>& statuses)
{
    m_entries.assign(records.size(), Entry{});
    for (size_t i = 0; i < records.size(); ++i) {
        m_entries[i].record = records[i];
        if (i < statuses.size())
            m_entries[i].status = statuses[i];
    }
}

void CPortraitList::SetStatus(int32_t portrait, const PortraitStatus& status)
{
    if (portrait >= 0 && portrait < Count())
        m_entries[static_cast<size_t>(portrait)].status = status;
}

bool CPortraitList::SetUnsaved(int32_t portrait, const bool (&unsaved)[kSizeCount])
{
    if (portrait < 0 || portrait >= Count())
        return false;
    bool changed = false;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        bool& mark = m_entries[static_cast<size_t>(portrait)].unsaved[size];
        changed = changed || mark != unsaved[size];
        mark = unsaved[size];
    }
    return changed;
}

bool CPortraitList::HasUnsaved(int32_t portrait) const
{
    if (portrait < 0 || portrait >= Count())
        return false;
    const Entry& entry = m_entries[static_cast<size_t>(portrait)];
    return entry.unsaved[kSizeLarge] || entry.unsaved[kSizeMedium] || entry.unsaved[kSizeSmall];
}

void CPortraitList::MarkSaved(int32_t portrait, PortraitSize size)
{
    if (portrait < 0 || portrait >= Count() || size < kSizeLarge || size >= kSizeCount)
        return;
    Entry& entry = m_entries[static_cast<size_t>(portrait)];
    entry.status.source[size] = ImageSource::kOverride;
    entry.unsaved[size] = false;
}

ListRow CPortraitList::Row(const Entry& entry, int32_t index) const
{
    const PortraitRecord& record = *entry.record;
    bool unsaved = false, overridden = false, invalid = false;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        unsaved = unsaved || entry.unsaved[size];
        overridden = overridden || entry.status.source[size] == ImageSource::kOverride;
        invalid = invalid || entry.status.source[size] == ImageSource::kInvalidOverride;
    }
    std::string marks;
    marks += unsaved ? "*" : "";
    marks += overridden ? "O" : "";
    marks += invalid ? "!" : "";
    return ListRow{{std::to_string(index + 1), record.GetName(), GetRaceName(record.race),
                    record.male == 1 ? "male" : "female", std::string(1, record.variant), marks}};
}

std::vector<ListRow> CPortraitList::Rows() const
{
    std::vector<ListRow> rows;
    rows.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i)
        rows.push_back(Row(m_entries[i], static_cast<int32_t>(i)));
    return rows;
}

std::string CPortraitList::SizesLine(int32_t portrait) const
{
    if (portrait < 0 || portrait >= Count())
        return {};
    const Entry& entry = m_entries[static_cast<size_t>(portrait)];
    std::string words[kSizeCount];
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        const ImageSource source = entry.status.source[size];
        words[size] = entry.status.has[size] ? ImageSourceName(source) : LoadResourceString(IDS_SOURCE_NONE);
        if (entry.unsaved[size])
            words[size] = FormatResourceString(IDS_SOURCE_UNSAVED, {words[size]});
    }
    return FormatResourceString(IDS_LIST_SIZES, {words[kSizeLarge], words[kSizeMedium], words[kSizeSmall]});
}

int32_t CPortraitList::FindByName(const std::string& text, int32_t from) const
{
    const int32_t count = Count();
    if (count == 0 || text.empty())
        return -1;
    from = from < 0 || from >= count ? 0 : from;
    for (int32_t n = 0; n < count; ++n) {
        const int32_t i = (from + n) % count;
        if (StartsWithNoCase(m_entries[static_cast<size_t>(i)].record->GetName(), text))
            return i;
    }
    return -1;
}
