// A program run through the shell, as a user runs it: its exit status and
// what it wrote on standard output and standard error.
#pragma once

#include <string>

struct ProgramRun {
    int status = -1; // the exit status; -1 when it did not exit (a signal)
    std::string out;
    std::string err;
};

// Runs the command line (already quoted for the shell) with standard error
// caught in a file of its own.
ProgramRun RunProgram(const std::string& command);
