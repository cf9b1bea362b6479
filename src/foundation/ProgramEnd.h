#pragma once
// Ending the program during start-up goes through EndProgram: it unwinds to main(), which returns the
// code. Tests catch ProgramEnded to observe the end without ending the test run. It is not a
// std::exception on purpose, so that the handler guard never swallows it. Never raise it from inside
// an event loop (a dialog's exec); close the dialog and end afterwards.
namespace lumvard {

struct ProgramEnded {
    int exitCode = 0;
};

[[noreturn]] inline void EndProgram(int exitCode = 0) {
    throw ProgramEnded{exitCode};
}

} // namespace lumvard
