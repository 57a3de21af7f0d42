#include "zhtext/util/program_runner.h"

#include <string>

#include "zhtext/platform/process.h"
#include "zhtext/util/log.h"

namespace zhtext {

int RunProgram(const char* commandLine) {
  if (commandLine == nullptr) commandLine = "";
  std::string message = commandLine;
  message += " start!";
  SetLastMessage(message);
  WriteLog(message);

  std::string error;
  const bool started = platform::StartProgram(commandLine, &error);

  message += " End!";
  SetLastMessage(message);
  WriteLog(message);
  if (!started) WriteErrorLog(error);
  return 1;
}

}  // namespace zhtext
