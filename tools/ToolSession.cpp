#include "ToolSession.h"

#include <cstdio>
#include <cstdlib>

#include "PortraitScrollBar.h"
#include "Resources.h"

CToolSession::CToolSession()
{
    host.Open(dialog);
    SayNotes();
}

const CommandEffects& CToolSession::Give(int32_t id)
{
    return Perform([&] { host.Command(id); });
}

const CommandEffects& CToolSession::Import(const std::string& path)
{
    // The file dialog cannot hand back a path longer than its buffer, so
    // such a path has never been imported. FIXME: say so, rather than quit
    // without a word.
    return Perform([&] {
        if (path.size() < CPortraitEditorDlg::kFileNameBufferSize)
            dialog.ImportIntoSlot(dialog.SelectedSlot(), path);
    });
}

void CToolSession::SayNotes()
{
    const std::vector<CommandEffects::Message>& messages = Effects().messages;
    for (; m_heard < messages.size(); ++m_heard)
        if (messages[m_heard].stringId == IDS_OVERRIDE_NOT_USED)
            Say(messages[m_heard].text);
}

void CToolSession::SayNotes(const std::vector<ValidationProblem>& notUsed)
{
    for (const ValidationProblem& file : notUsed)
        Say(FormatResourceString(IDS_OVERRIDE_NOT_USED, {file.path, file.fault}));
}

int32_t CToolSession::FindPortrait(const std::string& given) const
{
    char* end = nullptr;
    const long number = std::strtol(given.c_str(), &end, 10);
    if (!given.empty() && end && *end == '\0')
        return number >= 1 && number <= dialog.PortraitCount() ? static_cast<int32_t>(number - 1) : -1;
    for (int32_t i = 0; i < dialog.PortraitCount(); ++i)
        if (dialog.Record(i)->GetName() == given)
            return i;
    return -1;
}

void CToolSession::Select(int32_t index)
{
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, index + 1);
    SayNotes();
}

void CToolSession::Pick(int32_t slot)
{
    PixelRect r{};
    CPortraitEditorDlg::GetSlotRect(slot, r);
    host.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool CToolSession::Pick(const SlotChoice& choice)
{
    if (choice.slot >= 0) {
        Pick(choice.slot);
        return true;
    }
    return dialog.SelectImageFrame(choice.size, choice.frame);
}

const CommandEffects& CToolSession::Perform(const std::function<void()>& action)
{
    SayNotes();
    host.Effects()->Clear();
    m_heard = 0;
    action();
    SayNotes();
    return Effects();
}

void CToolSession::Say(const std::string& text)
{
    if (m_said.insert(text).second)
        std::fprintf(stderr, "%s\n", text.c_str());
}
