// Time from process start to the first page shown, measured from outside
// with fine polling, Setup.exe against a bare one-window program, in
// alternating rounds.
//   startup_bench SETUP_EXE BARE_EXE ROUNDS
// or, both programs Setup.exe (one-file packages of different sizes):
//   startup_bench --packages LARGE_SETUP_EXE SMALL_SETUP_EXE ROUNDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

struct Search {
  DWORD pid;
  const char* title;
  bool found;
};

BOOL CALLBACK Look(HWND hwnd, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
  char title[256] = "";
  GetWindowTextA(hwnd, title, sizeof title);
  if (std::string(title) != search->title) return TRUE;
  search->found = true;
  return FALSE;
}

// Seconds from CreateProcess to a visible window titled `title`.
double TimeToWindow(const std::string& program, const char* title) {
  std::string folder = program.substr(0, program.rfind('\\'));
  std::string command = "\"" + program + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const double start = bench::Now();
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    std::printf("cannot start %s\n", program.c_str());
    std::exit(1);
  }
  Search search = {process.dwProcessId, title, false};
  double elapsed = 0;
  while (!search.found) {
    EnumWindows(Look, reinterpret_cast<LPARAM>(&search));
    elapsed = bench::Now() - start;
    if (elapsed > 30) {
      std::printf("%s showed no window \"%s\"\n", program.c_str(), title);
      std::exit(1);
    }
    if (!search.found) Sleep(0);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

}  // namespace

// Two one-file Setup.exe, each to its licence page, in alternating rounds:
// the median of the per-round ratios, with its spread.
int ComparePackages(const char* large, const char* small, int rounds) {
  std::vector<double> big, little, ratios;
  TimeToWindow(large, "License Agreement");
  TimeToWindow(small, "License Agreement");
  for (int round = 0; round < rounds; ++round) {
    double pair[2];
    if (round % 2 == 0) {
      pair[0] = TimeToWindow(large, "License Agreement");
      pair[1] = TimeToWindow(small, "License Agreement");
    } else {
      pair[1] = TimeToWindow(small, "License Agreement");
      pair[0] = TimeToWindow(large, "License Agreement");
    }
    big.push_back(pair[0]);
    little.push_back(pair[1]);
    ratios.push_back(pair[0] / pair[1]);
  }
  const double ratio = bench::Median(ratios);
  bench::Figure("start to licence page, one-file Setup.exe with a 64 MiB package against one with "
                "the demo package (" + std::to_string(rounds) + " rounds)",
                "median of per-round ratios " + bench::Fixed(ratio, 3) + ", spread " +
                    bench::Fixed(bench::Quantile(ratios, 0.1), 3) + " to " +
                    bench::Fixed(bench::Quantile(ratios, 0.9), 3) + " (" +
                    bench::Times(big, little) + ")",
                "at most 1.1", ratio <= 1.1);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--packages") {
    return ComparePackages(argv[2], argv[3], std::atoi(argv[4]));
  }
  if (argc != 4) {
    std::printf("usage: startup_bench SETUP_EXE BARE_EXE ROUNDS\n");
    return 2;
  }
  const int rounds = std::atoi(argv[3]);
  std::vector<double> ours, bare;
  TimeToWindow(argv[1], "License Agreement");  // warm-up: the first start loads Wine's DLLs
  TimeToWindow(argv[2], "Bare Window");
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      ours.push_back(TimeToWindow(argv[1], "License Agreement"));
      bare.push_back(TimeToWindow(argv[2], "Bare Window"));
    } else {
      bare.push_back(TimeToWindow(argv[2], "Bare Window"));
      ours.push_back(TimeToWindow(argv[1], "License Agreement"));
    }
  }
  const double ratio = bench::Median(ours) / bench::Median(bare);
  bench::Figure("start to licence page (" + std::to_string(rounds) + " rounds)",
                "ratio of medians " + bench::Fixed(ratio, 3) + " (" + bench::Times(ours, bare) + ")",
                "at most 1.3", ratio <= 1.3);
  return 0;
}
