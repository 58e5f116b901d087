// Runs the built program as a user would, with real pipes or a real terminal.
#pragma once

#include <string>

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;    // exit status, or -1 when it did not exit normally
    bool hung = false;  // killed after the time limit
};

// How the program's surroundings differ from a plain run.
struct Setup {
    long memLimit = 0;              // address space in bytes, to starve the free store
    long dataLimit = 0;             // data segment and private mappings in bytes (POSIX only)
    long stackLimit = 0;            // stack in bytes (POSIX only)
    const char* outFile = nullptr;  // takes standard output instead of a pipe
    const char* locPath = nullptr;  // LOCPATH: where the C library looks for locales
    const char* inFile = nullptr;   // gives standard input instead of a pipe
    bool keepOpen = false;          // the pipe stays open after the input
    bool closedInput = false;       // standard input is not open at all
    bool brokenOutput = false;      // standard output is a pipe whose reader has gone
    std::string endless = {};       // written again and again after the input
    bool nonBlocking = false;       // standard input is left non-blocking (POSIX only)
    int lineGapMs = 0;              // written a line at a time, this far apart (POSIX only)
};

// Runs mst with input on a pipe as standard input.
Outcome runProgram(const std::string& input, const Setup& setup = {});

// text with every character that a regular expression gives a meaning to escaped.
std::string escaped(const std::string& text);

// A path as Windows takes it: Wine shows the Unix root as drive Z:.
std::string windowsPath(std::string path);

// The elapsed-time figure as the program prints it under the locale it selects.
std::string timePattern();

// text with "@TIME@" in place of the elapsed-time figure, where it has one.
std::string withoutTime(const std::string& text);
