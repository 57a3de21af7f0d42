// What every subcommand of the zhtext tool shares: option parsing, reading
// and writing whole files or the standard streams, error messages and the
// GBK/UTF-8 conversions at the tool's edges.
#ifndef ZHTEXT_TOOLS_ZHTEXT_TOOL_COMMON_H_
#define ZHTEXT_TOOLS_ZHTEXT_TOOL_COMMON_H_

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace zhtext {

class CPDAT;
namespace tool {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A small option parser: "--name", "--name VALUE", "--name=VALUE"; "--"
// ends the options; everything else is positional. "--help" and "-h" set
// help().
class ArgParser {
 public:
  // `command` is the full command name used in messages ("dict build").
  ArgParser(const char* command, int argc, char** argv);

  void Flag(const char* name, bool* value);
  void Option(const char* name, std::string* value);

  // False (after printing a one-line error to stderr) on an unknown option or
  // an option without its value.
  bool Parse();

  bool help() const { return help_; }
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  struct OptionDef {
    std::string name;
    bool* flag;
    std::string* value;
  };
  std::string command_;
  std::vector<std::string> args_;
  std::vector<OptionDef> options_;
  std::vector<std::string> positional_;
  bool help_ = false;
};

// A command made of subcommands ("zhtext dict build ..."): runs the one
// named by argv[1] with the arguments after it. With no subcommand, or an
// unknown one, a one-line error (exit 2); with "--help", `usage` on stdout.
struct Subcommand {
  const char* name;
  int (*run)(int argc, char** argv);
};
int RunSubcommand(const char* command, const char* usage, const Subcommand* subcommands,
                  std::size_t count, int argc, char** argv);

template <std::size_t N>
int RunSubcommand(const char* command, const char* usage, const Subcommand (&subcommands)[N],
                  int argc, char** argv) {
  return RunSubcommand(command, usage, subcommands, N, argc, argv);
}

// Prints "zhtext <command>: <message>" to stderr and returns kExitUsage or
// kExitFailed.
int UsageError(const char* command, const std::string& message);
int Failure(const char* command, const std::string& message);

// A decimal integer argument in the 32-bit range, nothing else around it.
bool ParseInt(const std::string& text, int* value);

// Loads the dictionary file at `path`; null after a one-line error ("cannot
// load dictionary ...", `*exitCode` = kExitFailed) when it is missing or
// corrupt.
std::unique_ptr<CPDAT> LoadDict(const char* command, const std::string& path, int* exitCode);

// Whether the file at `path` can be opened for reading (checked before
// work starts, to report a missing input by its own message).
bool CanRead(const std::string& path);

// Reads a whole file, or standard input when `path` is empty or "-".
// False with a one-line reason in `error`.
bool ReadInput(const std::string& path, std::string* data, std::string* error);

// Writes `data` to a file, or standard output when `path` is empty or "-".
bool WriteOutput(const std::string& path, const std::string& data, std::string* error);

// Prints a command's report on standard output: kExitOk, or kExitFailed
// after a one-line error when standard output cannot be written (a full
// disk, a closed pipe).
int PrintReport(const char* command, const std::string& report);

// Whether `a` and `b` name one existing file, also through different paths
// or links. "-" and empty names (the standard streams) are no files.
bool SameFile(const std::string& a, const std::string& b);

// An output file may not be one of the inputs (it would be overwritten
// while, or before, it is read): kExitUsage after a one-line error when
// `output` is the same file as one of `inputs`, else kExitOk.
int RefuseInputAsOutput(const char* command, const std::string& output,
                        std::initializer_list<std::string> inputs);

// GBK text to UTF-8 for display: an invalid GBK sequence becomes U+FFFD;
// `replaced` (when given) counts them.
std::string GbkToUtf8Text(const std::string& gbk, std::size_t* replaced = nullptr);

// UTF-8 text (arguments, --utf8 input) to GBK: a character without a GBK code
// becomes A1 A1, an undecodable sequence is dropped; `replaced` counts both.
std::string Utf8ToGbkText(const std::string& utf8, std::size_t* replaced = nullptr);

// Prints a progress line to stderr ("\r"-terminated while `done` < `total`,
// a newline at the end).
void Progress(const char* what, std::size_t done, std::size_t total);

}  // namespace tool
}  // namespace zhtext

#endif  // ZHTEXT_TOOLS_ZHTEXT_TOOL_COMMON_H_
