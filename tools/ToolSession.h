// The editor's dialog as portrait-tool runs it: opened on the headless host
// in the base directory, given commands and picks as a window delivers them,
// with the record of what each did, and the damaged override files it met
// said once each on standard error.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "CatalogueOperations.h"
#include "HeadlessHost.h"
#include "PortraitEditorDlg.h"

// What a SLOT argument names: a drawing slot, or an image and a frame.
struct SlotChoice {
    int32_t slot = -1;
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
};

class CToolSession {
public:
    // Opens the dialog; closing without Quit, at destruction, saves nothing.
    CToolSession();

    // What the dialog did since it opened, or since the last command.
    const CommandEffects& Effects() { return *host.Effects(); }

    // Gives a command to the dialog, with the record cleared first.
    const CommandEffects& Give(int32_t id);
    // Imports the file into the slot picked, as the Import button does once
    // its file dialog named the file: the same boxes, the same record.
    const CommandEffects& Import(const std::string& path);

    // Damaged override files met, the dialog's and an operation's, each
    // said once on standard error.
    void SayNotes();
    void SayNotes(const std::vector<ValidationProblem>& notUsed);

    // A portrait by its 1-based number or its name; -1 when there is none.
    int32_t FindPortrait(const std::string& given) const;
    // Moves to a portrait the way the scroll bar's thumb does.
    void Select(int32_t index);
    // Picks a drawing slot with a click at its centre.
    void Pick(int32_t slot);
    // Picks what a slot argument names; false when the portrait has no such frame.
    bool Pick(const SlotChoice& choice);

    CHeadlessHost host;
    CPortraitEditorDlg dialog;

private:
    // Runs what the dialog is told to do with the record cleared first, and
    // says the notes it met.
    const CommandEffects& Perform(const std::function<void()>& action);
    void Say(const std::string& text);

    size_t m_heard = 0; // messages of the record looked at
    std::set<std::string> m_said;
};
