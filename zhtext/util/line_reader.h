// Reading text files line by line, whatever the length of a line.
//
// A line is everything up to and including the next LF, or the rest of the
// stream when no LF follows. Bytes are kept as read: the CR of a CR LF end,
// zero bytes and GBK characters are never split or dropped, so a caller that
// reads line by line sees the same bytes as one that reads the whole file.
//
// Re-entrant; a stream is used by one thread at a time.
#ifndef ZHTEXT_UTIL_LINE_READER_H_
#define ZHTEXT_UTIL_LINE_READER_H_

#include <cstdio>
#include <string>

namespace zhtext {

// Replaces `*line` with the next line of `stream`, its LF included when it
// has one. False, with `*line` empty, at the end of the stream or on a read
// error with nothing read.
bool ReadLine(std::FILE* stream, std::string* line);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_LINE_READER_H_
