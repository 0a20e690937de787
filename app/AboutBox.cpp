#include "AboutBox.h"

#include "CommandUi.h"
#include "ProgramVersion.h"
#include "Resources.h"

std::string CAboutBox::Text()
{
    return FormatResourceString(IDS_ABOUT, {kProgramVersion});
}

void CAboutBox::Show(ICommandUi& ui)
{
    ui.MessageBox(IDS_ABOUT, Text(), LoadResourceString(IDS_ABOUT_CAPTION));
}
