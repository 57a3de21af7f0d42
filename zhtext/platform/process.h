// Starting another program: without a shell, without waiting for it, and
// without leaving a zombie process behind once it ends.
//
// The started program gets the caller's environment, working directory and
// standard input, output and error; no other open file or socket of the
// caller is passed on to it. It starts with no signal blocked, SIGPIPE and
// SIGCHLD at their defaults, and other signals the caller ignores ignored.
// Both functions may be called from any thread;
// StartProgram blocks only until the program has been started (or has failed
// to start), never until it ends.
#ifndef ZHTEXT_PLATFORM_PROCESS_H_
#define ZHTEXT_PLATFORM_PROCESS_H_

#include <string>
#include <vector>

namespace zhtext {
namespace platform {

// Splits a command line into arguments at blanks (SPACE and TAB), honouring
// double quotes: a quoted stretch may hold blanks, the quotes themselves are
// dropped, and "" gives an empty argument. Runs of blanks separate once; an
// unclosed quote runs to the end of the line. After the program name, a run
// of backslashes followed by a double quote is read as a Windows program reads
// its command line: 2n backslashes give n backslashes and the quote opens or
// closes a quoted stretch; 2n+1 give n backslashes and a literal quote.
// Backslashes anywhere else, and all of them in the program name, are kept.
// A null or blank line gives no arguments.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// Starts the program named by the first argument of `commandLine` (searched
// on PATH when it has no '/'), with the remaining arguments, and returns at
// once. True when the program was started; false when the line is empty or
// the program cannot be run (not found, not executable), with `error` (when
// given) receiving a one-line reason. The child is not waited for, and no
// zombie process remains when it exits.
bool StartProgram(const char* commandLine, std::string* error = nullptr);

// The absolute path of the running program's executable file, for finding
// the data installed beside it. False (and `path` emptied) when the system
// cannot tell.
bool GetExecutablePath(std::string* path);

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_PROCESS_H_
