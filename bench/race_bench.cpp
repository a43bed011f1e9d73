// The race: the whole unattended installation, from starting the process to
// its exit, of our one-file Setup.exe /S against a peer installer made with
// a general-purpose installer tool, in alternating rounds. Before each run the
// destination is removed and scenery.cfg restored, so that every run does
// the same work: the files into the same tree, the backup, the same area.
//   race_bench LABEL ROUNDS SIMULATOR_FOLDER DESTINATION OURS PEER PEER_NAME
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "tests/support/win32_tree.h"

namespace {

double RunOnce(const std::string& command, const std::string& folder) {
  std::string line = command;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const double start = bench::Now();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    std::printf("cannot start %s\n", command.c_str());
    std::exit(1);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double seconds = bench::Now() - start;
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (code != 0) {
    std::printf("%s ended with exit code %lu\n", command.c_str(), code);
    std::exit(1);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::printf("usage: race_bench LABEL ROUNDS SIMULATOR DESTINATION OURS PEER PEER_NAME\n");
    return 2;
  }
  const std::string label = argv[1], peer_name = argv[7];
  const int rounds = std::atoi(argv[2]);
  const std::string simulator = argv[3], destination = argv[4];
  const std::string cfg = simulator + "\\scenery.cfg", pristine = simulator + "\\scenery.pristine";
  CopyFileA(cfg.c_str(), pristine.c_str(), FALSE);
  // Each contender as it is started unattended; the peer takes /D= last.
  const std::string commands[2] = {
      std::string("\"") + argv[5] + "\" /S \"/D=" + destination + "\" \"/FS=" + simulator + "\"",
      std::string("\"") + argv[6] + "\" /S /FS=" + simulator + " /D=" + destination,
  };
  std::vector<double> times[2];
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    double round_times[2] = {0, 0};
    for (int turn = 0; turn < 2; ++turn) {
      const int who = (round + turn) % 2;  // each goes first in turn
      scenery::RemoveTree(destination);
      CopyFileA(pristine.c_str(), cfg.c_str(), FALSE);
      DeleteFileA((simulator + "\\scenery.bak").c_str());
      round_times[who] = RunOnce(commands[who], simulator);
      times[who].push_back(round_times[who]);
    }
    ratios.push_back(round_times[0] / round_times[1]);
  }
  scenery::RemoveTree(destination);
  CopyFileA(pristine.c_str(), cfg.c_str(), FALSE);
  const double ratio = bench::Median(ratios);
  bench::Figure("unattended installation, " + label + ", against " + peer_name,
                "median of per-round ratios " + bench::Fixed(ratio, 3) + ", spread " +
                    bench::Fixed(bench::Quantile(ratios, 0.1), 3) + " to " +
                    bench::Fixed(bench::Quantile(ratios, 0.9), 3) + "; ratio of the minimums " +
                    bench::Fixed(bench::Min(times[0]) / bench::Min(times[1]), 3) +
                    "; ratio of the medians " +
                    bench::Fixed(bench::Median(times[0]) / bench::Median(times[1]), 3) + " (" +
                    bench::Times(times[0], times[1]) + ")",
                "median ratio at most 1.0", ratio <= 1.0);
  return 0;
}
