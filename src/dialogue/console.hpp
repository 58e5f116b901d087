// Everything that depends on the operating system's console: the locale and
// the final key-press wait. A port to another system replaces console.cpp.
#pragma once

#include <iosfwd>

// Selects the Russian locale where the system has one; otherwise keeps the
// current one. Only the decimal separator of the elapsed time depends on it.
void setupConsole();

// Writes the press-any-key prompt to out and, when standard input is a
// terminal, waits for one key with the terminal's settings restored afterwards.
void pauseForKey(std::ostream& out);
