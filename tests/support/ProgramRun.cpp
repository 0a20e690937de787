#include "ProgramRun.h"

#include <sys/wait.h>

#include <cstdio>
#include <vector>

#include "TempDir.h"

ProgramRun RunProgram(const std::string& command)
{
    TempDir dir;
    const std::string errPath = dir / "err";
    ProgramRun run;
    if (FILE* p = ::popen((command + " 2>'" + errPath + "'").c_str(), "r")) {
        char buf[4096];
        size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, p)) > 0)
            run.out.append(buf, got);
        const int status = ::pclose(p);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::vector<uint8_t> err = ReadFileBytes(errPath);
    run.err.assign(err.begin(), err.end());
    return run;
}
