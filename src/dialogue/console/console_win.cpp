// The console layer on Windows.
#include "dialogue/console/console.hpp"

#include <clocale>
#include <cstdio>
#include <iterator>
#include <ostream>

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
volatile bool pageSwitched = false;

void restorePage()
{
    if (pageSwitched)
        SetConsoleOutputCP(outputPage);
}

// Ctrl+C and Ctrl+Break come as control events, not always as keys. From
// the start of the wait to the end of the run they are the key, also before
// the prompt, and once it is pressed they change nothing, the run's status
// included. At any other time they end the run as interrupted. Any event
// that ends the run puts the input mode and the code page back first. The
// handler runs on a thread of its own, where these calls are all safe.
HANDLE controlKey = nullptr;  // set when Ctrl+C or Ctrl+Break is the key
volatile LONG waiting = 0;
DWORD userMode = 0;  // the console's input mode, changed only while waiting

BOOL WINAPI onControl(DWORD event)
{
    const bool key = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    if (key && waiting != 0) {
        SetEvent(controlKey);
        return TRUE;
    }
    if (waiting != 0)
        SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), userMode);
    restorePage();
    if (!key)
        return FALSE;  // the system ends the run
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

// A high surrogate that ended the last console read, its pair still to come.
wchar_t pendingHigh = 0;
// Whether the next console read begins a line: only there is Ctrl+Z the end.
bool lineStart = true;

// Reads a console line as UTF-16 and hands it on as UTF-8, whatever the
// console's own code page: a word typed in Russian stays a Russian word.
long readConsole(HANDLE h, char* buf, std::size_t size)
{
    // UTF-8 takes at most three bytes per UTF-16 unit.
    constexpr DWORD most = 4096;
    wchar_t wide[most + 1];
    DWORD have = 0;
    if (pendingHigh != 0)
        wide[have++] = pendingHigh;
    pendingHigh = 0;
    const DWORD room = static_cast<DWORD>(size / 3 < most ? size / 3 : most);
    DWORD got = 0;
    if (room <= have || !ReadConsoleW(h, wide + have, room - have, &got, nullptr))
        return -1;
    // Ctrl+Z at the start of a line ends the input, as with a file;
    // elsewhere it is a character like any other.
    if (got > 0 && wide[have] == 0x1a && lineStart)
        return 0;
    have += got;
    lineStart = have > 0 && wide[have - 1] == L'\n';
    if (have > 1 && wide[have - 1] >= 0xd800 && wide[have - 1] <= 0xdbff)
        pendingHigh = wide[--have];
    if (have == 0)
        return 0;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(have), buf,
                                          static_cast<int>(size), nullptr, nullptr);
    return bytes > 0 ? bytes : -1;
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
    // Ctrl+C is handled before the switch, whatever standard input is, and the
    // page marked switched before it is: no Ctrl+C in between leaves it so.
    const bool pageConsole =
        isConsole(GetStdHandle(STD_OUTPUT_HANDLE)) || isConsole(GetStdHandle(STD_ERROR_HANDLE));
    outputPage = pageConsole ? GetConsoleOutputCP() : CP_UTF8;
    if (outputPage != CP_UTF8 || isConsole(input())) {
        controlKey = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        SetConsoleCtrlHandler(onControl, TRUE);
    }
    if (outputPage != CP_UTF8) {
        std::atexit(restorePage);
        pageSwitched = true;
        pageSwitched = SetConsoleOutputCP(CP_UTF8) != 0;
    }
    for (std::FILE* stream : {stdout, stderr}) {
        _setmode(_fileno(stream), _O_BINARY);
        std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
    }
}

long readInput(char* buf, std::size_t size)
{
    const HANDLE h = input();
    if (isConsole(h))
        return readConsole(h, buf, size);
    // A pipe or a file balks at huge requests.
    const DWORD most = 1 << 20;
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

bool inputLineCut()
{
    // A console line that is too long is refused by the console itself.
    return false;
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

bool dropTypedInput()
{
    // How long no input must come for a paste to be taken as over.
    constexpr DWORD quietMs = 200;
    const HANDLE h = input();
    // Read rather than flushed, to tell whether any of it was more than blanks.
    bool dropped = false;
    // The rest of a line longer than a read waits in the console, not among
    // its input events.
    char rest[4096];
    DWORD mode = 0;
    for (long got = 1;
         !lineStart && got > 0 && GetConsoleMode(h, &mode) && (mode & ENABLE_LINE_INPUT) != 0;) {
        got = readConsole(h, rest, sizeof rest);
        for (long i = 0; i < got; ++i)
            dropped = dropped || static_cast<unsigned char>(rest[i]) > ' ';
    }
    pendingHigh = 0;
    lineStart = true;
    if (!isConsole(h))
        return false;
    INPUT_RECORD recs[256];
    DWORD got = 0;
    do {
        while (GetNumberOfConsoleInputEvents(h, &got) && got > 0 &&
               ReadConsoleInputW(h, recs, 256, &got))
            for (DWORD i = 0; i < got; ++i) {
                const KEY_EVENT_RECORD& k = recs[i].Event.KeyEvent;
                dropped = dropped || (recs[i].EventType == KEY_EVENT && k.bKeyDown &&
                                      k.uChar.UnicodeChar > L' ');
            }
        FlushConsoleInputBuffer(h);
    } while (WaitForSingleObject(h, quietMs) == WAIT_OBJECT_0);
    return dropped;
}

void preferLargePages(void*, std::size_t)
{
    // Large pages need a privilege that a console program does not have.
}

namespace {

// Waits for a key pressed down, a lone Shift, Ctrl or Alt aside, or for
// Ctrl+C or Ctrl+Break, which may come as a control event instead.
void waitForKey(HANDLE h)
{
    const HANDLE both[] = {h, controlKey};
    for (;;) {
        const DWORD which =
            WaitForMultipleObjects(controlKey != nullptr ? 2 : 1, both, FALSE, INFINITE);
        if (which != WAIT_OBJECT_0)
            return;
        INPUT_RECORD rec{};
        DWORD got = 0;
        if (!ReadConsoleInputW(h, &rec, 1, &got))
            return;
        if (got == 0 || rec.EventType != KEY_EVENT || !rec.Event.KeyEvent.bKeyDown)
            continue;
        const WORD key = rec.Event.KeyEvent.wVirtualKeyCode;
        if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU)
            continue;
        // More keys pressed at once than a hand presses are a piece of a
        // paste that paused for longer than the drain's quiet: it goes like
        // the rest of a paste, and the wait goes on.
        INPUT_RECORD more[8];
        DWORD downs = 0;
        if (PeekConsoleInputW(h, more, static_cast<DWORD>(std::size(more)), &got))
            for (DWORD i = 0; i < got; ++i)
                downs += more[i].EventType == KEY_EVENT && more[i].Event.KeyEvent.bKeyDown;
        if (downs < 4)
            return;
        dropTypedInput();
    }
}

}  // namespace

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
    userMode = mode;
    InterlockedExchange(&waiting, 1);
    SetConsoleMode(h, mode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT |
                                                 ENABLE_ECHO_INPUT));
    DWORD now = 0;
    if (!GetConsoleMode(h, &now) || (now & ENABLE_LINE_INPUT) != 0)
        SetConsoleMode(h, mode);  // refused: the wait ends on Enter
    dropTypedInput();
    out << prompt << std::flush;
    waitForKey(h);
    // The key's release, the rest of an escape sequence or of a paste go too.
    dropTypedInput();
    SetConsoleMode(h, mode);
    out << "\n" << std::flush;
}
