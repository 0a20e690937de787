#include "AboutBox.h"

#include "CommandUi.h"
#include "ProgramVersion.h"
#include "Resources.h"

std::string CAboutBox::Text()
{
    return FormatResourceString(IDS_ABOUT,
                                {kProgramVersion, FormatResourceString(IDS_LICENCES, {"Qt 6 (GNU LGPL-3.0)\n"})});
}

void CAboutBox::Show(ICommandUi& ui)
{
    ui.MessageBox(IDS_ABOUT, Text(), LoadResourceString(IDS_ABOUT_CAPTION));
}
