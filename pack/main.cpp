// scenery-pack: the package author's tool. Each verb is one function of the
// table below; `check` tells what a package folder will do and what is wrong
// with it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/paths.h"
#include "pack/build.h"
#include "pack/check.h"
#include "pack/compress.h"
#include "pack/package_folder.h"

namespace {

using scenery::pack::Print;
using scenery::pack::WriteText;

// A wrong call: the usage is printed and the program ends with this code.
constexpr int kExitUsage = 64;

constexpr char kUsage[] =
    "usage: scenery-pack check FOLDER\n"
    "       scenery-pack build FOLDER OUTPUT [--setup SETUP_EXE] [--strict]\n"
    "                          [--store | --level 1-9]\n"
    "       scenery-pack FOLDER     (a folder dropped onto the program: check it, wait for Enter)\n"
    "       scenery-pack --help | -h | /?\n"
    "       scenery-pack --version\n"
    "\n"
    "  check FOLDER   checks the scenery package in FOLDER (Setup.ini, License.txt,\n"
    "                 ReadMe.txt, the scenery and texture files) with the rules of\n"
    "                 Setup.exe, prints each finding as FILE:LINE: error|warning: TEXT,\n"
    "                 then what the package installs and adds to scenery.cfg.\n"
    "                 Exit code: 0 without findings, 1 with warnings only, 2 with errors.\n"
    "  build FOLDER OUTPUT\n"
    "                 checks the package, then writes OUTPUT: the folder's Setup.exe\n"
    "                 (or SETUP_EXE) carrying every file of the package, so that it\n"
    "                 installs alone. Refused (exit code 2, nothing written) when the\n"
    "                 check finds an error, or with --strict a warning. A missing folder\n"
    "                 of OUTPUT is made. Sign OUTPUT afterwards, not Setup.exe before.\n"
    "                 The files are compressed (LZMA, --level 9 unless given; 1 is the\n"
    "                 fastest); --store keeps them as they are.\n"
    "  --version      prints the version of scenery-pack\n"
    "\n"
    "Exit codes: 0 no finding (check) or packed (build); 1 warnings only (check);\n"
    "2 errors, or nothing packed; 64 a wrong call.\n";

// A wrong call: says what was wrong, then the usage.
int WrongCall(const std::string& what) {
  Print(stderr, "scenery-pack: %s\n\n", what.c_str());
  WriteText(stderr, kUsage);
  return kExitUsage;
}

bool IsOption(const char* word) { return word[0] == '-' && word[1] != '\0'; }

int Check(int argc, char** argv) {
  for (int i = 2; i < argc; ++i) {
    if (IsOption(argv[i])) return WrongCall(std::string("check takes no option ") + argv[i]);
  }
  if (argc < 3) return WrongCall("check needs the package FOLDER");
  if (argc > 3) return WrongCall(std::string("check takes one FOLDER; ") + argv[3] + " is one too many");
  const std::string folder = scenery::WithoutTrailingSeparators(argv[2]);
  auto fs = scenery::pack::OpenPackageFolder(folder);
  const scenery::pack::PackageReport report = scenery::pack::CheckPackage(*fs);
  for (const scenery::pack::Finding& finding : report.findings) {
    Print(stdout, "%s\n",
          scenery::pack::FormatFinding(finding, folder, scenery::pack::PathSeparator()).c_str());
  }
  if (!report.findings.empty()) Print(stdout, "\n");
  WriteText(stdout, scenery::pack::FormatSummary(report, folder));
  if (report.manifest_read) {
    // What build would carry, as it would compress it.
    try {
      const int level = scenery::pack::kDefaultLevel;
      WriteText(stdout, "\n" + scenery::pack::CompressionLine(
                                   scenery::pack::CollectFiles(*fs, folder, report, level), level));
    } catch (const scenery::Failure&) {
    }
  }
  return report.ExitCode();
}

int Build(int argc, char** argv) {
  std::string setup;
  bool strict = false;
  int level = -1;
  std::vector<std::string> words;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--setup") == 0) {
      if (i + 1 >= argc) return WrongCall("--setup needs the SETUP_EXE to pack");
      if (!setup.empty()) return WrongCall("--setup given twice");
      setup = argv[++i];
    } else if (std::strcmp(argv[i], "--strict") == 0) {
      strict = true;
    } else if (std::strcmp(argv[i], "--store") == 0 || std::strcmp(argv[i], "--level") == 0) {
      if (level >= 0) return WrongCall("give one of --store and --level, once");
      level = 0;
      if (std::strcmp(argv[i], "--level") == 0) {
        if (i + 1 >= argc || std::strlen(argv[i + 1]) != 1 || argv[i + 1][0] < '1' ||
            argv[i + 1][0] > '9') {
          return WrongCall("--level needs a level from 1 (fastest) to 9 (smallest)");
        }
        level = argv[++i][0] - '0';
      }
    } else if (IsOption(argv[i])) {
      return WrongCall(std::string("unknown option ") + argv[i] +
                       " (build knows --setup, --strict, --store and --level)");
    } else {
      words.push_back(argv[i]);
    }
  }
  if (words.size() < 2) return WrongCall("build needs the package FOLDER and the OUTPUT to write");
  if (words.size() > 2) return WrongCall("build takes FOLDER and OUTPUT; " + words[2] + " is one too many");
  return scenery::pack::BuildPackage(scenery::WithoutTrailingSeparators(words[0]), words[1], setup,
                                     strict, level < 0 ? scenery::pack::kDefaultLevel : level);
}

struct Verb {
  const char* name;
  int (*run)(int argc, char** argv);
};

const Verb kVerbs[] = {
    {"check", Check},
    {"build", Build},
};

}  // namespace

int main(int raw_argc, char** raw_argv) {
  std::vector<std::string> arguments;
  std::string fault;
  if (!scenery::pack::ProgramArguments(raw_argc, raw_argv, &arguments, &fault)) {
    Print(stderr, "scenery-pack: %s\n", fault.c_str());
    return 2;
  }
  std::vector<char*> words;
  for (std::string& argument : arguments) words.push_back(&argument[0]);
  words.push_back(nullptr);
  const int argc = static_cast<int>(arguments.size());
  char** argv = words.data();
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
                    std::strcmp(argv[1], "/?") == 0)) {
    WriteText(stdout, kUsage);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    Print(stdout, "scenery-pack %s\n", SCENERY_VERSION);
    return 0;
  }
  if (argc < 2) return WrongCall("no verb given");
  for (const Verb& verb : kVerbs) {
    // As Windows' own commands take them: in any letter case.
    if (scenery::UpperAscii(argv[1]) == scenery::UpperAscii(verb.name)) {
      return verb.run(argc, argv);
    }
  }
  // A folder alone: dropped onto the program, whose window closes when it
  // ends. It is checked, and the window waits for the author.
  if (argc == 2 && !IsOption(argv[1])) {
    const std::string folder = scenery::WithoutTrailingSeparators(argv[1]);
    bool is_folder = false;
    try {
      is_folder = scenery::pack::OpenPackageFolder(folder)->Probe(folder).kind ==
                  scenery::EntryKind::kFolder;
    } catch (const scenery::Failure&) {
    }
    if (is_folder) {
      char* check[] = {argv[0], const_cast<char*>("check"), argv[1]};
      const int code = Check(3, check);
      Print(stdout, "\nPress Enter to close this window.\n");
      std::fflush(stdout);
      std::getchar();
      return code;
    }
  }
  return WrongCall(std::string(IsOption(argv[1]) ? "unknown option " : "unknown verb ") + argv[1] +
                   " (the verbs are check and build)");
}
