// The program's own start-up in place of the C runtime's: the runtime's start-up code,
// its exception handler and its import table would make up a sixth of the file. What the
// program needs of it is here: static constructors, destructors at exit, the command line.
#include <windows.h>

// The program's entry, declared here as a C runtime declares WinMain: it receives the whole
// command line, the program's name included, and returns the exit code.
int RunProgram(HINSTANCE instance, const char *commandLine);

using StaticFunction = void (*)();

// Laid out by the linker: -1, the constructors, 0.
extern "C" StaticFunction __CTOR_LIST__[];

namespace {

constexpr int kExitSlots = 16;
StaticFunction s_exitCalls[kExitSlots];
int s_exitCount = 0;

void RunConstructors()
{
    int n = 1;
    while (__CTOR_LIST__[n])
        ++n;
    while (--n > 0) // last first, as the runtime's start-up runs them
        __CTOR_LIST__[n]();
}

void RunExitCalls()
{
    while (s_exitCount > 0)
        s_exitCalls[--s_exitCount]();
}

} // namespace

// Static destructors register here (the compiler calls atexit for each); full slots
// refuse as the C library's does.
extern "C" __attribute__((used)) int atexit(StaticFunction call)
{
    if (s_exitCount == kExitSlots)
        return -1;
    s_exitCalls[s_exitCount++] = call;
    return 0;
}

extern "C" __attribute__((used)) void WinMainCRTStartup()
{
    RunConstructors();
    int code = RunProgram(GetModuleHandleA(nullptr), GetCommandLineA());
    RunExitCalls();
    ExitProcess(code);
}
