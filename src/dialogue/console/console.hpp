// Everything that depends on the operating system, in four groups: the
// locale and the texts' encoding, standard input, a memory hint, and the
// final key-press wait. One implementation per system: console_posix.cpp
// and console_win.cpp; a port to another system adds one more.
#pragma once

#include <cstddef>
#include <iosfwd>

// ---- The locale and the console's texts.
// Selects the Russian locale where the system has one; otherwise keeps the
// current one. Only the decimal separator of the elapsed time depends on it.
void setupConsole();

// ---- Standard input.
// Reads up to size bytes of standard input, waiting only until some arrive:
// how many, 0 at its end, -1 when reading fails.
long readInput(char* buf, std::size_t size);

// Where standard input is a pipe, asks for a larger one, so that a writer
// gets further ahead of the reading; a refusal changes nothing.
void growInputPipe();

// True when the last failed read was a terminal line that filled the
// terminal's line buffer: its end may have been dropped, so it is refused.
bool inputLineCut();

// The most characters of a typed line that a terminal in line mode keeps;
// it drops the rest of a longer line without a word. Linux's line buffer
// holds 4095 and the newline (4096 bytes), whatever MAX_CANON says there
// (255); elsewhere MAX_CANON is the terminal's own limit (1024 on macOS).
// A Windows console refuses a line too long by itself.
#if defined(__linux__)
constexpr long terminalLineMax = 4095;
#elif !defined(_WIN32)
#include <limits.h>
constexpr long terminalLineMax = MAX_CANON;
#endif

// What standard input is, as far as looking ahead in it is concerned.
enum class Source { terminal, file, other };
Source inputSource();

// True when standard input can be read now without waiting.
bool inputReady();

// Throws away what has been typed ahead at a terminal or a console: lines
// typed or pasted and not yet read, and whatever else arrives until none has
// come for a moment, as a paste may still be arriving. True if any of it was
// more than blanks.
bool dropTypedInput();

// ---- Memory.
// A hint that bytes from p on will all be used soon, so that the system may
// back them with large pages and take far fewer page faults.
void preferLargePages(void* p, std::size_t bytes);

// ---- The key-press wait that ends every run.
// Writes the press-any-key prompt to out and, when standard input is a
// terminal, waits for one key with the terminal's settings restored afterwards.
void pauseForKey(std::ostream& out);
