// The command line of Setup.exe and Uninstall.exe: installing or removing
// without any window (/S), the folders (/D=, /FS=), and a log (/LOG=).
#ifndef SCENERY_SETUP_ENGINE_COMMAND_LINE_H_
#define SCENERY_SETUP_ENGINE_COMMAND_LINE_H_

#include <string>

namespace scenery {

struct CommandLine {
  bool silent = false;      // /S
  std::string destination;  // /D=FOLDER
  std::string simulator;    // /FS=FOLDER
  std::string log;          // /LOG=FILE
  // Why the call is wrong (an unknown switch, a value missing, a switch
  // given twice); empty when it is right.
  std::string fault;
};

// Reads `arguments`, the command line after the program's own name. Words
// are separated by blanks; double quotes keep blanks in a value, around the
// whole word or its value alone ("/D=C:\a b" or /D="C:\a b"). Switches are
// read in any letter case. Uninstall.exe (`removal`) has /S and /LOG= only.
CommandLine ReadCommandLine(const std::string& arguments, bool removal);

// The switches that exist, one per line, for the message of a wrong call.
std::string CommandLineSwitches(bool removal);

// The arguments of a whole command line: what follows the program's name
// (quoted or not) and the blanks after it.
std::string ArgumentsOf(const std::string& command_line);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_COMMAND_LINE_H_
