// Runs the built program as a user would, with real pipes or a real terminal.
#pragma once

#include <string>

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;    // exit status, or -1 when it did not exit normally
    bool hung = false;  // killed after the time limit
};

// Runs mst with input on a pipe as standard input. A positive memLimit caps
// the address space in bytes, to make the free store run out; outFile, when
// given, takes standard output instead of the pipe.
Outcome runProgram(const std::string& input, long memLimit = 0, const char* outFile = nullptr);

// The elapsed-time figure as the program prints it under the locale it selects.
std::string timePattern();

// True when text equals expected, where "@TIME@" in expected stands for the
// elapsed-time figure.
bool matchesWithTime(const std::string& text, const std::string& expected);
