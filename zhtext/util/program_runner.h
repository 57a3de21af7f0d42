// Starting another program from a command line, with two notes in the log.
//
// The program is started without a shell and without waiting for it (the
// platform launcher, zhtext/platform/process.h): the first token of the
// command line names it (searched on PATH), double quotes group arguments
// with blanks, and no shell syntax ($, *, ;, >) has any meaning. It gets
// the caller's environment and working directory and no other open file;
// it is never left as a zombie when it ends.
//
// Concurrency: may run on any thread; the notes go through SetLastMessage
// and WriteLog, which are safe to call concurrently.
#ifndef ZHTEXT_UTIL_PROGRAM_RUNNER_H_
#define ZHTEXT_UTIL_PROGRAM_RUNNER_H_

namespace zhtext {

// Starts the program of `commandLine` and returns at once:
//  1. the last-message text becomes `commandLine` + " start!", and a copy
//     goes to the log (WriteLog, no directory);
//  2. the program is started;
//  3. " End!" is appended to the last-message text, and a copy goes to the
//     log: "<commandLine> start! End!", written right after the start, not
//     when the program ends.
// A program that cannot be started changes none of this; the reason
// ("cannot start <program>: <why>") also goes to the error log. A null
// command line reads as empty. Always returns 1.
int RunProgram(const char* commandLine);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_PROGRAM_RUNNER_H_
