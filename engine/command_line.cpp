#include "engine/command_line.h"

#include <vector>

#include "engine/paths.h"

namespace scenery {
namespace {

// The words of `text`: blanks separate them, quotes keep blanks in them and
// are dropped.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, in_word = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

}  // namespace

CommandLine ReadCommandLine(const std::string& arguments, bool removal) {
  CommandLine line;
  bool seen_silent = false, seen_destination = false, seen_simulator = false, seen_log = false;
  for (const std::string& word : Words(arguments)) {
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
    } else if (name == "/FS=" && !removal) {
      seen = &seen_simulator;
      target = &line.simulator;
    } else if (name == "/LOG=") {
      seen = &seen_log;
      target = &line.log;
    } else {
      line.fault = "the switch " + word + " does not exist";
      return line;
    }
    const std::string shown = word.substr(0, name.size());
    if (*seen) {
      line.fault = shown + " is given twice";
      return line;
    }
    *seen = true;
    if (target == nullptr) {
      line.silent = true;
    } else if (value.empty()) {
      line.fault = shown + " has no value: write it as " + shown +
                   (name == "/LOG=" ? "FILE" : "FOLDER") + " (in quotes when it has blanks)";
      return line;
    } else {
      *target = value;
    }
  }
  return line;
}

std::string CommandLineSwitches(bool removal) {
  if (removal) {
    return "/S  remove without any window or question\r\n"
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
    while (at < command_line.size() && command_line[at] != ' ' && command_line[at] != '\t') ++at;
  }
  while (at < command_line.size() && (command_line[at] == ' ' || command_line[at] == '\t')) ++at;
  return command_line.substr(at);
}

}  // namespace scenery
