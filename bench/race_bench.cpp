// The race: the whole unattended installation, from starting the process to
// its exit, of our one-file Setup.exe /S against a peer installer made with
// a general-purpose installer tool (without compression, and with its
// default compression), in alternating rounds. Before each run the
// destination is removed and scenery.cfg restored, so that every run does
// the same work: the files into the same tree, the backup, the same area.
//   race_bench LABEL ROUNDS SIMULATOR_FOLDER DESTINATION OURS PEER PEER_COMPRESSED
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
    std::printf("usage: race_bench LABEL ROUNDS SIMULATOR DESTINATION OURS PEER PEER_COMPRESSED\n");
    return 2;
  }
  const std::string label = argv[1];
  const int rounds = std::atoi(argv[2]);
  const std::string simulator = argv[3], destination = argv[4];
  const std::string cfg = simulator + "\\scenery.cfg", pristine = simulator + "\\scenery.pristine";
  CopyFileA(cfg.c_str(), pristine.c_str(), FALSE);
  // Each contender as it is started unattended; the peer takes /D= last.
  const std::string commands[3] = {
      std::string("\"") + argv[5] + "\" /S \"/D=" + destination + "\" \"/FS=" + simulator + "\"",
      std::string("\"") + argv[6] + "\" /S /FS=" + simulator + " /D=" + destination,
      std::string("\"") + argv[7] + "\" /S /FS=" + simulator + " /D=" + destination,
  };
  std::vector<double> times[3];
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    double round_times[3] = {0, 0, 0};
    for (int turn = 0; turn < 3; ++turn) {
      const int who = (round + turn) % 3;  // each goes first in turn
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
  const double ratio = bench::Median(times[0]) / bench::Median(times[1]);
  bench::Figure("unattended installation, " + label + ", one-file Setup.exe /S against the peer "
                "without compression",
                "ratio of the medians " + bench::Fixed(ratio, 3) + "; median of per-round ratios " +
                    bench::Fixed(bench::Median(ratios), 3) + ", spread " +
                    bench::Fixed(bench::Quantile(ratios, 0.1), 3) + " to " +
                    bench::Fixed(bench::Quantile(ratios, 0.9), 3) + "; ratio of the minimums " +
                    bench::Fixed(bench::Min(times[0]) / bench::Min(times[1]), 3) + " (" +
                    bench::Times(times[0], times[1]) + ")",
                "ratio of the medians at most 1.0", ratio <= 1.0);
  bench::Figure("unattended installation, " + label + ", the peer with its default compression",
                "median " + bench::Fixed(bench::Median(times[2]) * 1000, 1) + " ms, ratio of ours to it " +
                    bench::Fixed(bench::Median(times[0]) / bench::Median(times[2]), 3),
                "reported", true);
  return 0;
}
