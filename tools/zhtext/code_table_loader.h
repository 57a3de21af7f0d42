// Loading the code table file for the commands that detect codes or read
// Big5: the file given with --code-tables, else the one beside the tool
// (the build tree) or the one installed with it (share/zhtext/).
#ifndef ZHTEXT_TOOLS_ZHTEXT_CODE_TABLE_LOADER_H_
#define ZHTEXT_TOOLS_ZHTEXT_CODE_TABLE_LOADER_H_

#include <string>

namespace zhtext {
namespace tool {

// Prints a usage text to stdout: `head`, the --code-tables option's lines,
// then `tail`.
void PrintCodeTablesUsage(const char* head, const char* tail);

// Loads `path`, or the default file when `path` is empty. False after a
// one-line error on stderr ("zhtext <command>: cannot load code tables ...").
bool LoadToolCodeTables(const char* command, const std::string& path);

// The name of a code number as the tool prints it: utf8, gbk, big5,
// utf16le, undecided, or "code N" for a definite code of the file's own.
std::string CodeName(int code);

}  // namespace tool
}  // namespace zhtext

#endif  // ZHTEXT_TOOLS_ZHTEXT_CODE_TABLE_LOADER_H_
