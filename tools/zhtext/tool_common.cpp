#include "tools/zhtext/tool_common.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "zhtext/dictionary/pdat.h"
#include "zhtext/encoding/cp936.h"
#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"

namespace zhtext {
namespace tool {

ArgParser::ArgParser(const char* command, int argc, char** argv) : command_(command) {
  for (int i = 1; i < argc; ++i) args_.emplace_back(argv[i]);
}

void ArgParser::Flag(const char* name, bool* value) { options_.push_back({name, value, nullptr}); }

void ArgParser::Option(const char* name, std::string* value) {
  options_.push_back({name, nullptr, value});
}

bool ArgParser::Parse() {
  bool options_done = false;
  for (std::size_t i = 0; i < args_.size(); ++i) {
    const std::string& arg = args_[i];
    if (options_done || arg.size() < 2 || arg[0] != '-' || arg == "-") {
      positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      help_ = true;
      continue;
    }
    std::string name = arg;
    std::string inline_value;
    bool has_inline = false;
    std::size_t eq = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      inline_value = arg.substr(eq + 1);
      has_inline = true;
    }
    const OptionDef* option = nullptr;
    for (const OptionDef& o : options_) {
      if (o.name == name) option = &o;
    }
    if (option == nullptr) {
      UsageError(command_.c_str(), "unknown option '" + name + "' (see --help)");
      return false;
    }
    if (option->flag != nullptr) {
      if (has_inline) {
        UsageError(command_.c_str(), "option '" + name + "' takes no value");
        return false;
      }
      *option->flag = true;
    } else if (has_inline) {
      *option->value = inline_value;
    } else if (i + 1 < args_.size()) {
      *option->value = args_[++i];
    } else {
      UsageError(command_.c_str(), "option '" + name + "' needs a value");
      return false;
    }
  }
  return true;
}

int RunSubcommand(const char* command, const char* usage, const Subcommand* subcommands,
                  std::size_t count, int argc, char** argv) {
  const std::string see = std::string(" (see 'zhtext ") + command + " --help')";
  if (argc < 2) return UsageError(command, "needs a subcommand" + see);
  const std::string sub = argv[1];
  if (sub == "--help" || sub == "-h" || sub == "help") {
    std::fputs(usage, stdout);
    return kExitOk;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (sub == subcommands[i].name) return subcommands[i].run(argc - 1, argv + 1);
  }
  return UsageError(command, "unknown subcommand '" + sub + "'" + see);
}

int UsageError(const char* command, const std::string& message) {
  std::fprintf(stderr, "zhtext %s: %s\n", command, message.c_str());
  return kExitUsage;
}

int Failure(const char* command, const std::string& message) {
  std::fprintf(stderr, "zhtext %s: %s\n", command, message.c_str());
  return kExitFailed;
}

bool ParseInt(const std::string& text, int* value) {
  // strtol would skip leading blanks.
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < INT_MIN || parsed > INT_MAX) return false;
  *value = static_cast<int>(parsed);
  return true;
}

std::unique_ptr<CPDAT> LoadDict(const char* command, const std::string& path, int* exitCode) {
  auto dict = std::make_unique<CPDAT>(0);
  if (!dict->Load(path.c_str())) {
    *exitCode = Failure(command, "cannot load dictionary '" + path + "' (missing or corrupt)");
    return nullptr;
  }
  return dict;
}

bool CanRead(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return false;
  std::fclose(in);
  return true;
}

bool ReadInput(const std::string& path, std::string* data, std::string* error) {
  bool use_stdin = path.empty() || path == "-";
  std::FILE* in = use_stdin ? stdin : std::fopen(path.c_str(), "rb");
  if (in == nullptr) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  data->clear();
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), in)) > 0) data->append(buffer, n);
  bool ok = !std::ferror(in);
  if (!ok) *error = "cannot read '" + (use_stdin ? std::string("standard input") : path) + "'";
  if (!use_stdin) std::fclose(in);
  return ok;
}

bool WriteOutput(const std::string& path, const std::string& data, std::string* error) {
  bool use_stdout = path.empty() || path == "-";
  std::FILE* out = use_stdout ? stdout : std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    *error = "cannot create '" + path + "': " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(data.data(), 1, data.size(), out) == data.size();
  ok = (use_stdout ? std::fflush(out) : std::fclose(out)) == 0 && ok;
  if (!ok) *error = "cannot write '" + (use_stdout ? std::string("standard output") : path) + "'";
  return ok;
}

int PrintReport(const char* command, const std::string& report) {
  std::string error;
  if (!WriteOutput("", report, &error)) return Failure(command, error);
  return kExitOk;
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty() || a == "-" || b == "-") return false;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

int RefuseInputAsOutput(const char* command, const std::string& output,
                        std::initializer_list<std::string> inputs) {
  for (const std::string& input : inputs) {
    if (SameFile(output, input)) {
      return UsageError(command, "the output '" + output + "' is the input '" + input +
                                     "': it would be overwritten");
    }
  }
  return kExitOk;
}

std::string GbkToUtf8Text(const std::string& gbk, std::size_t* replaced) {
  std::vector<char16_t> units(gbk.size() + 1);
  const std::size_t n = DecodeCp936Lenient(gbk.data(), gbk.size(), units.data(), replaced);
  std::string out(3 * n, '\0');
  out.resize(UnitsToUtf8(units.data(), n, &out[0]));
  return out;
}

std::string Utf8ToGbkText(const std::string& utf8, std::size_t* replaced) {
  std::vector<char> out(utf8.size() + 2);
  unsigned unmapped = 0, dropped = 0;
  Utf8ToGbkByTable(utf8.c_str(), out.data(), &unmapped, &dropped);
  if (replaced != nullptr) *replaced = unmapped + dropped;
  return std::string(out.data());
}

void Progress(const char* what, std::size_t done, std::size_t total) {
  if (total == 0) return;
  int percent = static_cast<int>(done * 100 / total);
  std::fprintf(stderr, "%s: %3d%%%s", what, percent, done < total ? "\r" : "\n");
  std::fflush(stderr);
}

}  // namespace tool
}  // namespace zhtext
