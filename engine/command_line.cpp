#include "engine/command_line.h"

#include "engine/paths.h"

namespace scenery {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitArguments(const std::string& arguments, bool* unclosed) {
  std::vector<std::string> words;
  *unclosed = false;
  std::size_t at = 0;
  const std::size_t end = arguments.size();
  while (true) {
    while (at < end && IsBlank(arguments[at])) ++at;
    if (at == end) return words;
    std::string word;
    int quotes = 0;  // 1 inside a quoted stretch
    std::size_t backslashes = 0;
    while (at < end && (quotes != 0 || !IsBlank(arguments[at]))) {
      const char c = arguments[at++];
      if (c != '"') {
        word += c;
        backslashes = c == '\\' ? backslashes + 1 : 0;
        continue;
      }
      // 2n backslashes before a quote are n, and the quote counts as one;
      // 2n+1 are n, and the quote is part of the word.
      word.resize(word.size() - backslashes / 2);
      if (backslashes % 2 == 1) {
        word.back() = '"';
      } else {
        ++quotes;
      }
      backslashes = 0;
      // In a run of quotes, each third one is part of the word.
      for (; at < end && arguments[at] == '"'; ++at) {
        if (++quotes == 3) {
          word += '"';
          quotes = 0;
        }
      }
      if (quotes == 2) quotes = 0;
    }
    *unclosed = *unclosed || quotes != 0;
    words.push_back(word);
  }
}

std::string QuotedArgument(const std::string& word) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote are doubled, and the quote escaped.
      if (c == '"') quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, '\\');  // before the closing quote
  return quoted + "\"";
}

CommandLine ReadCommandLine(const std::string& arguments, bool removal) {
  CommandLine line;
  auto fault = [&line](const std::string& why) {
    if (line.fault.empty()) line.fault = why;
  };
  bool unclosed = false;
  const std::vector<std::string> words = SplitArguments(arguments, &unclosed);
  if (unclosed) fault("a quote is not closed (a value in quotes needs its closing quote)");
  bool seen_silent = false, seen_destination = false, seen_simulator = false, seen_log = false;
  for (const std::string& word : words) {
    const std::size_t equals = word.find('=');
    const std::string name = UpperAscii(word.substr(0, equals == std::string::npos ? word.size()
                                                                                   : equals + 1));
    const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
    bool* seen = nullptr;
    std::string* target = nullptr;
    if (name == "/S") {
      seen = &seen_silent;
    } else if (name == "/D=" && !removal) {
      seen = &seen_destination;
      target = &line.destination;
    } else if (name == "/FS=") {
      seen = &seen_simulator;
      target = &line.simulator;
    } else if (name == "/LOG=") {
      seen = &seen_log;
      target = &line.log;
    } else {
      fault("the switch " + word + " does not exist");
      continue;
    }
    const std::string shown = word.substr(0, name.size());
    if (*seen) {
      fault(shown + " is given twice");
      continue;
    }
    *seen = true;
    if (target == nullptr) {
      line.silent = true;
    } else if (value.empty()) {
      fault(shown + " has no value: write it as " + shown +
            (name == "/LOG=" ? "FILE" : "FOLDER") + " (in quotes when it has blanks)");
    } else {
      *target = value;
    }
  }
  return line;
}

std::string CommandLineSwitches(bool removal) {
  if (removal) {
    return "/S  remove without any window or question\r\n"
           "/FS=FOLDER  the FS 2000 folder, where it has moved since the installation\r\n"
           "/LOG=FILE  add a log of what was done to FILE";
  }
  return "/S  install without any window (the licence counts as accepted)\r\n"
         "/D=FOLDER  the destination folder (TargetPath when not given)\r\n"
         "/FS=FOLDER  the FS 2000 folder (GuessFSFolder when not given)\r\n"
         "/LOG=FILE  add a log of what was done to FILE";
}

std::string ArgumentsOf(const std::string& command_line) {
  std::size_t at = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    at = command_line.find('"', 1);
    at = at == std::string::npos ? command_line.size() : at + 1;
  } else {
    while (at < command_line.size() && !IsBlank(command_line[at])) ++at;
  }
  while (at < command_line.size() && IsBlank(command_line[at])) ++at;
  return command_line.substr(at);
}

}  // namespace scenery
