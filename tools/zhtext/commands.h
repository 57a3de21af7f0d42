// The subcommands of the zhtext tool. Each takes the arguments after its
// name (argv[0] is the subcommand name) and returns the process exit code:
// 0 success, 1 a failed operation, 2 bad usage.
#ifndef ZHTEXT_TOOLS_ZHTEXT_COMMANDS_H_
#define ZHTEXT_TOOLS_ZHTEXT_COMMANDS_H_

namespace zhtext {
namespace tool {

struct Command {
  const char* name;
  const char* summary;
  int (*run)(int argc, char** argv);
};

int RunConvert(int argc, char** argv);
int RunCipher(int argc, char** argv);
int RunDetect(int argc, char** argv);
int RunDict(int argc, char** argv);
int RunClassify(int argc, char** argv);
int RunFold(int argc, char** argv);
int RunPlaceSuffix(int argc, char** argv);
int RunWordlist(int argc, char** argv);
int RunMap(int argc, char** argv);
int RunSegment(int argc, char** argv);
int RunWords(int argc, char** argv);
int RunFreq(int argc, char** argv);
int RunHtml2Text(int argc, char** argv);
int RunMail(int argc, char** argv);
int RunQuery(int argc, char** argv);
int RunServe(int argc, char** argv);

}  // namespace tool
}  // namespace zhtext

#endif  // ZHTEXT_TOOLS_ZHTEXT_COMMANDS_H_
