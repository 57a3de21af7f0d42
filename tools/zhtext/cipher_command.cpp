// zhtext cipher: the library's repeating-key data cipher over a whole file.
#include <cstdio>
#include <string>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/wordlist/cipher_keys.h"
#include "zhtext/wordlist/vesk_encript.h"

namespace zhtext {
namespace tool {

namespace {

const char kUsage[] =
    "usage: zhtext cipher [--key-file FILE] IN OUT\n"
    "\n"
    "Enciphers IN into OUT with the library's repeating-key cipher: every byte\n"
    "is combined by exclusive-or with the key byte at the same position modulo\n"
    "the key length. Running it again on OUT gives IN back, so the same command\n"
    "deciphers. IN may be '-' for standard input; OUT must be a file, and not\n"
    "IN itself. Files of any size are handled.\n"
    "\n"
    "The key is the library's word list key (the key of the text block of word\n"
    "list files) unless --key-file gives another.\n"
    "\n"
    "Options:\n"
    "  --key-file FILE  take the key from FILE: its bytes as they are, without\n"
    "                   one line break at the end; it must not be empty nor\n"
    "                   hold a zero byte\n"
    "  --help           show this help\n";

// The key text of a key file, or false with a reason.
bool ReadKeyFile(const std::string& path, std::string* key, std::string* error) {
  if (!ReadInput(path, key, error)) return false;
  if (key->size() >= 1 && key->back() == '\n') key->pop_back();
  if (key->size() >= 1 && key->back() == '\r') key->pop_back();
  if (key->empty()) {
    *error = "key file '" + path + "' holds no key";
    return false;
  }
  if (key->find('\0') != std::string::npos) {
    *error = "key file '" + path + "' holds a zero byte";
    return false;
  }
  return true;
}

}  // namespace

int RunCipher(int argc, char** argv) {
  const char* kName = "cipher";
  std::string key_file;
  ArgParser args(kName, argc, argv);
  args.Option("--key-file", &key_file);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() != 2) return UsageError(kName, "needs IN and OUT (see --help)");
  const std::string& in_path = args.positional()[0];
  const std::string& out_path = args.positional()[1];
  if (out_path == "-") return UsageError(kName, "OUT must be a file");
  if (in_path != "-" && SameFile(in_path, out_path)) {
    return UsageError(kName, "IN and OUT are the same file");
  }

  std::string key = WordListKey();
  std::string error;
  if (!key_file.empty() && !ReadKeyFile(key_file, &key, &error)) return Failure(kName, error);
  CVeskEncript cipher(key.c_str());

  bool ok;
  if (in_path == "-") {
    ok = cipher.EncriptStream(stdin, out_path.c_str());
  } else {
    if (!CanRead(in_path)) return Failure(kName, "cannot open '" + in_path + "'");
    ok = cipher.EncriptFile(in_path.c_str(), out_path.c_str());
  }
  if (!ok) return Failure(kName, "cannot encipher into '" + out_path + "' (read or write failed)");
  return kExitOk;
}

}  // namespace tool
}  // namespace zhtext
