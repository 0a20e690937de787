// Help > About: the program's name and version, and the libraries it is
// built with, each with its licence, in one box.
#pragma once

#include <string>

class ICommandUi;

class CAboutBox {
public:
    // The box's text, with the program's version (ProgramVersion.h).
    static std::string Text();
    static void Show(ICommandUi& ui);
};
