// The command line of Setup.exe and Uninstall.exe: installing or removing
// without any window (/S), the folders (/D=, /FS=), and a log (/LOG=); and
// the splitting of a command line into words as Windows programs read it.
#ifndef SCENERY_SETUP_ENGINE_COMMAND_LINE_H_
#define SCENERY_SETUP_ENGINE_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace scenery {

struct CommandLine {
  bool silent = false;      // /S
  std::string destination;  // /D=FOLDER
  std::string simulator;    // /FS=FOLDER
  std::string log;          // /LOG=FILE
  // Why the call is wrong (an unknown switch, a value missing, a switch
  // given twice, a quote left open); empty when it is right. The first
  // fault is kept, and every switch is still read: /LOG= counts wherever it
  // stands.
  std::string fault;
};

// The words of `arguments` (a command line after the program's name), as
// Windows' own CommandLineToArgvW reads them: blanks and tabs outside quotes
// separate words; a double quote starts or ends a quoted stretch and is
// dropped; in a run of quotes each third one is a quote of the word (so ""
// inside a quoted stretch is a quote and ends the stretch, """ is a quote
// and the stretch goes on); 2n backslashes before a quote are n backslashes
// (the quote then counts as a quote), 2n+1 are n and a quote that is part
// of the word; backslashes before anything else stay as they are.
// `unclosed` tells whether a quoted stretch was left open.
std::vector<std::string> SplitArguments(const std::string& arguments, bool* unclosed);

// `word` written so that SplitArguments reads it back as it is: in quotes,
// with the backslashes before a quote (or before the closing one) doubled.
std::string QuotedArgument(const std::string& word);

// Reads `arguments`, the command line after the program's own name, split
// by SplitArguments. Switches are read in any letter case. Uninstall.exe
// (`removal`) has /S, /FS= and /LOG= only.
CommandLine ReadCommandLine(const std::string& arguments, bool removal);

// The switches that exist, one per line, for the message of a wrong call.
std::string CommandLineSwitches(bool removal);

// The arguments of a whole command line: what follows the program's name
// (up to the next quote when it starts with one, else up to a blank) and
// the blanks after it.
std::string ArgumentsOf(const std::string& command_line);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_COMMAND_LINE_H_
