// The console layer on Windows.
#include "dialogue/console.hpp"

#include <clocale>
#include <cstdio>
#include <ostream>

#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

HANDLE input()
{
    return GetStdHandle(STD_INPUT_HANDLE);
}

bool isConsole(HANDLE h)
{
    DWORD mode = 0;
    return GetConsoleMode(h, &mode) != 0;
}

// The console's own code page, put back at exit: the console outlives the
// program and its next programs expect their usual one.
UINT outputPage = 0;

void restorePage()
{
    SetConsoleOutputCP(outputPage);
}

}  // namespace

void setupConsole()
{
    // The Russian locale gives the elapsed time its decimal comma.
    std::setlocale(LC_ALL, "RUS");
    // The texts are UTF-8, on a console as in a file. A console shows them
    // once it is switched to UTF-8; each character must reach it whole, so
    // both streams are fully buffered (the program flushes them before every
    // wait). Binary mode keeps "\n" from becoming "\r\n".
    if (isConsole(GetStdHandle(STD_OUTPUT_HANDLE)) || isConsole(GetStdHandle(STD_ERROR_HANDLE))) {
        outputPage = GetConsoleOutputCP();
        if (outputPage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
            std::atexit(restorePage);
    }
    for (std::FILE* stream : {stdout, stderr}) {
        _setmode(_fileno(stream), _O_BINARY);
        std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
    }
}

long readInput(char* buf, std::size_t size)
{
    // A console hands over one line at a time and balks at huge requests.
    const HANDLE h = input();
    const DWORD most = isConsole(h) ? 4096 : 1 << 20;
    DWORD got = 0;
    if (ReadFile(h, buf, size < most ? static_cast<DWORD>(size) : most, &got, nullptr))
        return static_cast<long>(got);
    // A pipe whose writer has gone has simply ended.
    return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

void growInputPipe()
{
    // A pipe's size is set where it is made, by its writer.
}

Source inputSource()
{
    const HANDLE h = input();
    if (isConsole(h))
        return Source::terminal;
    return GetFileType(h) == FILE_TYPE_DISK ? Source::file : Source::other;
}

bool inputReady()
{
    const HANDLE h = input();
    switch (GetFileType(h)) {
    case FILE_TYPE_PIPE: {
        DWORD waiting = 0;
        return PeekNamedPipe(h, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0;
    }
    case FILE_TYPE_CHAR:
        return !isConsole(h);  // NUL: reading it ends at once
    default:
        return false;
    }
}

void preferLargePages(void*, std::size_t)
{
    // Large pages need a privilege that a console program does not have.
}

void pauseForKey(std::ostream& out)
{
    const char* prompt = "Для продолжения нажмите любую клавишу . . . ";
    const HANDLE h = input();
    DWORD mode = 0;
    if (!GetConsoleMode(h, &mode)) {
        // A pipe, a file or NUL has nobody to press a key: never wait on it.
        out << prompt << "\n" << std::flush;
        return;
    }
    // One key, unechoed, no Enter; Ctrl+C counts as a key. Keys typed
    // before the prompt are thrown away, so the one waited for comes after it.
    SetConsoleMode(h, mode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT |
                                                 ENABLE_ECHO_INPUT));
    FlushConsoleInputBuffer(h);
    out << prompt << std::flush;
    const int key = _getch();
    if (key == 0 || key == 0xe0)
        _getch();  // arrows and function keys come as two codes
    SetConsoleMode(h, mode);
    out << "\n" << std::flush;
}
