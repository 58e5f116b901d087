// The whole-program harness on Windows: the program's three standard streams
// are pipes, fed and drained by threads while the program runs.
#include "run_program.hpp"

#include <thread>
#include <utility>

#include <windows.h>

namespace {

// Far beyond any run; only a hang reaches it, including a program that never
// stops reading an endless input.
constexpr DWORD limitMs = 60000;

void drain(HANDLE from, std::string& into)
{
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(from, buf, sizeof buf, &got, nullptr) && got > 0)
        into.append(buf, got);
}

}  // namespace

Outcome runProgram(const std::string& input, const Setup& setup)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0) ||
        !CreatePipe(&outRead, &outWrite, &inherit, 0) ||
        !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return {};
    for (HANDLE ours : {inWrite, outRead, errRead})
        SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);

    HANDLE childIn = inRead;
    if (setup.inFile != nullptr)
        childIn = CreateFileA(setup.inFile, GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (setup.closedInput)
        childIn = nullptr;
    if (setup.brokenOutput) {
        CloseHandle(outRead);
        outRead = nullptr;
    }

    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = childIn;
    start.hStdOutput = outWrite;
    start.hStdError = errWrite;
    PROCESS_INFORMATION child{};
    std::string command = "\"" + windowsPath(MST_BINARY) + "\"";
    const bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &start, &child);
    CloseHandle(inRead);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (setup.inFile != nullptr && childIn != INVALID_HANDLE_VALUE)
        CloseHandle(childIn);
    Outcome run;
    if (!started)
        return run;

    // The writer ends when all is written, or when the program has gone.
    std::thread writer([&] {
        const std::string& first = input.empty() ? setup.endless : input;
        DWORD put = 0;
        bool open = first.empty() || WriteFile(inWrite, first.data(),
                                               static_cast<DWORD>(first.size()), &put, nullptr);
        while (open && !setup.endless.empty())
            open = WriteFile(inWrite, setup.endless.data(),
                             static_cast<DWORD>(setup.endless.size()), &put, nullptr);
        if (!setup.keepOpen)
            CloseHandle(std::exchange(inWrite, nullptr));
    });
    std::thread outReader([&] {
        if (outRead != nullptr)
            drain(outRead, run.out);
    });
    std::thread errReader([&] { drain(errRead, run.err); });

    if (WaitForSingleObject(child.hProcess, limitMs) == WAIT_TIMEOUT) {
        run.hung = true;
        TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    // An exception that ends a process leaves its code as the exit status
    // (0xC0000005 for a page fault): the program did not exit normally.
    run.status = run.hung || code >= 0xC0000000 ? -1 : static_cast<int>(code);
    writer.join();
    outReader.join();
    errReader.join();
    for (HANDLE h : {inWrite, outRead, errRead, child.hProcess, child.hThread})
        if (h != nullptr)
            CloseHandle(h);
    return run;
}
