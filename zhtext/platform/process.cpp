#include "zhtext/platform/process.h"

#include <utility>

namespace zhtext {
namespace platform {

namespace {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
  std::vector<std::string> args;
  if (commandLine == nullptr) return args;
  const char* p = commandLine;
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == '\0') break;
    // The program name takes backslashes literally; later arguments give a
    // backslash run its escaping role only where a double quote follows it.
    const bool programName = args.empty();
    std::string arg;
    bool quoted = false;
    while (*p != '\0' && (quoted || !IsBlank(*p))) {
      if (*p == '\\' && !programName) {
        std::size_t run = 0;
        while (p[run] == '\\') ++run;
        if (p[run] == '"') {
          arg.append(run / 2, '\\');
          p += run;
          if (run % 2 == 1) {
            arg += '"';
            ++p;
          }
        } else {
          arg.append(run, '\\');
          p += run;
        }
        continue;
      }
      if (*p == '"') {
        quoted = !quoted;
      } else {
        arg += *p;
      }
      ++p;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace platform
}  // namespace zhtext
