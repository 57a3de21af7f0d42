// The daily log and the last-message text: the library's only error channel.
//
// Progress lines go to "<YYYYMMDD>.log" and errors to "<YYYYMMDD>.err" (local
// date), one "[YYYY-mm-dd HH:MM:SS]\t<message>\n" entry per call, appended in
// binary mode. Without a directory the files lie in the working directory the
// process had when it first logged without one; later directory changes do
// not move them. A file that cannot be opened never fails the caller: the
// entry goes to standard output instead.
//
// Concurrency: log calls may come from any thread (each opens, appends and
// closes the file; the first working directory is captured exactly once).
// The library writes g_strLastMessage only through SetLastMessage and reads
// it only through GetLastMessage, both under one mutex, so library calls on
// several threads never race on it. A host that reads or writes the global
// directly must keep that access apart from library calls on other threads.
#ifndef ZHTEXT_UTIL_LOG_H_
#define ZHTEXT_UTIL_LOG_H_

#include <cstdio>
#include <string>

namespace zhtext {

// The latest status or error text of the library; empty at start.
extern std::string g_strLastMessage;

// Appends one entry to the day's ".err" (isError) or ".log" file in
// `directory`, or in the first working directory when `directory` is null.
// A separator is added after `directory` unless its last character is one:
// characters are read as GBK, so a directory ending in a two-byte character
// whose second byte is 0x5C ('\\', as in 81 5C) gets its separator and
// keeps that character whole; a final one-byte '\\' stands for the native
// separator. An empty `directory` names the current working directory at
// the time of the call (the bare file name), unlike null. The message is
// cut at its first zero byte.
void WriteLog(std::string message, const char* directory = nullptr, bool isError = false);

// WriteLog(message, directory, true).
void WriteErrorLog(std::string message, const char* directory = nullptr);

// Writes "[time] message\n" to `stream` (not flushed, not closed); with a null
// stream prints it on standard output followed by "Cannot write log file!".
void WriteLogLine(std::FILE* stream, std::string message);

// Replaces g_strLastMessage, under the message mutex.
void SetLastMessage(std::string message);

// A copy of g_strLastMessage taken under the message mutex, kept per thread:
// the bytes stay valid until the calling thread calls GetLastMessage again.
const char* GetLastMessage();

// The logging switch, on from the start. While it is off, WriteLog and
// WriteErrorLog write nothing. The library itself never turns it off.
void SetLoggingEnabled(bool enabled);
bool IsLoggingEnabled();

// The directory that entries without a directory go to, captured on first
// use (empty until then). For diagnostics and tests.
std::string GetLogDirectory();

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_LOG_H_
