// The engine's two file-heavy operations on the real Win32 file system, each
// timed in this process side by side with a bare Win32 baseline doing the
// same work, in alternating order, over several rounds:
//   - the copy run (CopyPackageFiles, do-nothing progress) against a bare
//     FindFirstFileA/CopyFileA loop, for three package shapes;
//   - RegisterSceneryArea against reading the file once, CopyFileA and
//     writing the old bytes and the same lines to a file beside it, flushed,
//     put in its place by ReplaceFileA, for three library sizes; and against
//     appending those lines in place, what the whole file's replacement
//     costs.
// With --peak FOLDER it instead runs one copy run of the package in FOLDER
// and prints the process's peak working set in bytes.
//   engine_bench [--registration | --packed] WORK_FOLDER | engine_bench --peak PACKAGE TARGET
// (PACKAGE a folder, or a one-file Setup.exe, *.exe)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "engine/journal.h"
#include "engine/package_copy.h"
#include "engine/scenery_library.h"
#include "engine/package_source.h"
#include "engine/crc32c.h"
#include "engine/packed_package.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_file_system.h"
#include "tests/support/win32_tree.h"

namespace {

using bench::Fixed;
using scenery::RemoveTree;
using bench::Median;

constexpr int kRounds = 9;

class PackageFileSystem : public scenery::Win32FileSystem {
 public:
  explicit PackageFileSystem(std::string folder) : folder_(std::move(folder)) {}
  std::string ProgramFolder() override { return folder_; }

 private:
  std::string folder_;
};

class QuietProgress : public scenery::CopyProgress {
 public:
  void OnCopyStarting() override {}
  void OnProgressStarting(std::int32_t) override {}
  void OnFileCopied(const std::string&) override {}
  void OnCopyFinished() override {}
};

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string MakePackage(const std::string& work, int files, int kib) {
  const std::string folder = work + "\\pkg-" + std::to_string(files) + "x" + std::to_string(kib);
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string bytes(static_cast<std::size_t>(kib) * 1024, 'S');
  for (int i = 0; i < files; ++i) {
    const std::string path = folder + "\\tile" + std::to_string(i) + ".bgl";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) WriteBytes(path, bytes);
  }
  WriteBytes(folder + "\\License.txt", "Licence\r\n");
  WriteBytes(folder + "\\ReadMe.txt", "Read me\r\n");
  return folder;
}

double OursCopy(const std::string& package, const std::string& target) {
  PackageFileSystem fs(package);
  scenery::InstallSettings settings;
  settings.target_dir = target;
  QuietProgress progress;
  scenery::FolderSource source(fs);
  const double start = bench::Now();
  scenery::Journal journal(fs);  // as the installation keeps it, to undo a failure
  scenery::CopyPackageFiles(source, fs, settings, progress, journal);
  journal.Finish();
  return bench::Now() - start;
}

// The same work without the engine: the tree, the scenery files, the two
// documents.
double BareCopy(const std::string& package, const std::string& target) {
  const double start = bench::Now();
  CreateDirectoryA(target.c_str(), nullptr);
  CreateDirectoryA((target + "\\Scenery").c_str(), nullptr);
  CreateDirectoryA((target + "\\Texture").c_str(), nullptr);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((package + "\\*.bgl").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      CopyFileA((package + "\\" + data.cFileName).c_str(),
                (target + "\\Scenery\\" + data.cFileName).c_str(), FALSE);
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  CopyFileA((package + "\\License.txt").c_str(), (target + "\\License.txt").c_str(), FALSE);
  CopyFileA((package + "\\ReadMe.txt").c_str(), (target + "\\ReadMe.txt").c_str(), FALSE);
  return bench::Now() - start;
}

std::string ReadBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  return bytes;
}

// The package folder packed after this program, as scenery-pack build packs
// it: a one-file Setup.exe of the same files.
std::string MakePacked(const std::string& package) {
  const std::string path = package + "-packed.exe";
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  std::vector<scenery::FileToPack> files;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((package + "\\*").c_str(), &data);
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string bytes = ReadBytes(package + "\\" + data.cFileName);
    files.push_back({data.cFileName, bytes.size(), scenery::Crc32c(0, bytes.data(), bytes.size())});
  } while (FindNextFileA(find, &data));
  FindClose(find);
  struct Writer : scenery::PackWriter {
    HANDLE out;
    std::string package;
    const std::vector<scenery::FileToPack>* files;
    void Write(const std::string& bytes) override {
      DWORD written = 0;
      WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    void CopyFile(std::size_t index) override { Write(ReadBytes(package + "\\" + (*files)[index].name)); }
  } writer;
  writer.out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  writer.package = package;
  writer.files = &files;
  const std::string program = ReadBytes(scenery::ProgramPath());
  writer.Write(program);
  scenery::WritePackage(program.size(), files, writer);
  CloseHandle(writer.out);
  return path;
}

// The copy run of a one-file Setup.exe: the package read from the program.
double OursPackedCopy(const std::string& packed, const std::string& target) {
  scenery::Win32ByteFile program(packed);
  scenery::PackedLayout layout;
  std::string why;
  if (scenery::ReadPackedLayout(program, &layout, &why) != scenery::PackedState::kPackage) {
    std::printf("%s: %s\n", packed.c_str(), why.c_str());
    std::exit(1);
  }
  scenery::CarriedSource source(program, layout, packed);
  scenery::Win32FileSystem fs;
  scenery::InstallSettings settings;
  settings.target_dir = target;
  QuietProgress progress;
  const double start = bench::Now();
  scenery::Journal journal(fs);
  scenery::CopyPackageFiles(source, fs, settings, progress, journal);
  journal.Finish();
  return bench::Now() - start;
}

// `again`: into the tree of the round before, as a repair or an update does:
// ours sets each old file aside and deletes it at the end, the baseline
// copies over it.
void CopyBenchmark(const std::string& work, int files, int kib, bool packed, bool again = false) {
  const std::string package = MakePackage(work, files, kib);
  const std::string packed_file = packed ? MakePacked(package) : "";
  const std::string target = work + "\\target";
  std::vector<double> ours, bare, ratios;
  for (int round = 0; round < kRounds; ++round) {
    double pair[2] = {0, 0};
    for (int turn = 0; turn < 2; ++turn) {
      if (!again || round + turn == 0) RemoveTree(target);
      if (again && round + turn == 0) BareCopy(package, target);
      if ((round + turn) % 2 == 0) {
        pair[0] = packed ? OursPackedCopy(packed_file, target) : OursCopy(package, target);
        ours.push_back(pair[0]);
      } else {
        pair[1] = BareCopy(package, target);
        bare.push_back(pair[1]);
      }
    }
    ratios.push_back(pair[0] / pair[1]);
  }
  RemoveTree(target);
  const double ratio = Median(ratios);
  bench::Figure(std::string(packed ? "copy run from a one-file Setup.exe" : "copy run") +
                    (again ? " over an earlier installation" : "") + ", " +
                    std::to_string(files) + " files of " +
                    (kib >= 1024 ? std::to_string(kib / 1024) + " MiB" : std::to_string(kib) + " KiB"),
                "median of per-round ratios " + Fixed(ratio, 3) + ", spread " +
                    Fixed(bench::Quantile(ratios, 0.1), 3) + " to " +
                    Fixed(bench::Quantile(ratios, 0.9), 3) + " (" + bench::Times(ours, bare) + ")" +
                    (packed ? "; each file's CRC-32C is checked as it is copied"
                            : ""),
                again ? "reported: a repair sets each old file aside" : "at most 1.05 at the median",
                again || ratio <= 1.05);
}

std::string SyntheticLibrary(int areas) {
  std::string bytes = "[General]\r\nTitle=FS2000 World Scenery\r\nDescription=Library\r\n\r\n";
  for (int i = 1; i <= areas; ++i) {
    char header[32];
    std::snprintf(header, sizeof header, "[Area.%03d]\r\n", i);
    bytes += header;
    char local[48];
    std::snprintf(local, sizeof local, "Local=Addon Scenery\\Area%05d\r\n", i);
    bytes += "Title=Area number " + std::to_string(i) + "\r\n" + local +
             "Active=TRUE\r\nLayer=" + std::to_string(i) + "\r\n\r\n";
  }
  return bytes;
}

// The library read once and backed up, bare: where both baselines start.
std::string ReadAndBackUp(const scenery::InstallSettings& s) {
  HANDLE file = CreateFileA(s.cfg_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  CopyFileA(s.cfg_path.c_str(), s.backup_path.c_str(), FALSE);
  return bytes;
}

// The same work without the engine: one read, the backup, the seven lines.
double BareRegister(const scenery::InstallSettings& s) {
  const double start = bench::Now();
  ReadAndBackUp(s);
  const std::string section = scenery::AreaSection(10001, s);
  HANDLE file = CreateFileA(s.cfg_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, section.data(), static_cast<DWORD>(section.size()), &written, nullptr);
  FlushFileBuffers(file);
  CloseHandle(file);
  return bench::Now() - start;
}

// The same work put in place whole, as a power cut requires, bare.
double BareReplace(const scenery::InstallSettings& s) {
  const double start = bench::Now();
  std::string bytes = ReadAndBackUp(s);
  bytes += scenery::AreaSection(10001, s);
  const std::string spare = s.cfg_path + ".new";
  HANDLE file = CreateFileA(spare.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  FlushFileBuffers(file);
  CloseHandle(file);
  ReplaceFileA(s.cfg_path.c_str(), spare.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr,
               nullptr);
  return bench::Now() - start;
}

double OursRegister(const scenery::InstallSettings& s) {
  PackageFileSystem fs("C:\\");
  scenery::Journal journal(fs);
  const double start = bench::Now();
  scenery::RegisterSceneryArea(fs, s, journal);
  const double took = bench::Now() - start;
  // The earlier backup, set aside, goes as after a whole run: the next
  // round finds the folder as this one did.
  journal.Finish();
  return took;
}

double RegisterBenchmark(const std::string& work, int areas, double* bytes_out) {
  const std::string library = SyntheticLibrary(areas);
  scenery::InstallSettings s;
  s.cfg_path = work + "\\scenery.cfg";
  s.backup_path = work + "\\scenery.bak";
  s.scenery_title = "Benchmark Island";
  // Its last folder name is as long as those of the library's areas, so
  // that every Local= value is compared to the end of that name.
  s.target_dir = "C:\\FS2000\\Addon Scenery\\AreaXXXXX";
  std::vector<double> ours, bare, append, ratios, extra, over_append;
  for (int round = 0; round < 5 * kRounds; ++round) {
    // Each round times the three in a turn of their order.
    double times[3] = {0, 0, 0};
    for (int turn = 0; turn < 3; ++turn) {
      WriteBytes(s.cfg_path, library);
      const int which = (turn + round) % 3;
      times[which] = which == 0 ? OursRegister(s) : which == 1 ? BareReplace(s) : BareRegister(s);
    }
    ours.push_back(times[0]);
    bare.push_back(times[1]);
    append.push_back(times[2]);
    ratios.push_back(times[0] / times[1]);
    extra.push_back(times[0] - times[1]);
    over_append.push_back(times[0] / times[2]);
  }
  const double ratio = Median(ratios);
  // Nobody sees a millisecond: ours may take up to that much longer.
  const double extra_ms = Median(extra) * 1000;
  const std::string what =
      std::to_string(areas) + " areas (" + std::to_string(library.size()) + " bytes)";
  bench::Figure("scenery.cfg registration with the folder comparison, " + what,
                "median of per-round ratios " + Fixed(ratio, 3) + ", spread " +
                    Fixed(bench::Quantile(ratios, 0.1), 3) + " to " +
                    Fixed(bench::Quantile(ratios, 0.9), 3) + " (10th to 90th percentile; " +
                    bench::Times(ours, bare) + "; median of per-round differences " +
                    Fixed(extra_ms, 2) + " ms)",
                "at most 1 ms more than the baseline", extra_ms <= 1.0);
  std::printf(
      "- what the whole file's replacement costs over an append in place, %s: median of "
      "per-round ratios %s, spread %s to %s; ours median %.2f ms, the append's %.2f ms\n",
      what.c_str(), Fixed(Median(over_append), 3).c_str(),
      Fixed(bench::Quantile(over_append, 0.1), 3).c_str(),
      Fixed(bench::Quantile(over_append, 0.9), 3).c_str(), Median(ours) * 1000,
      Median(append) * 1000);
  *bytes_out = static_cast<double>(library.size());
  return Median(ours);
}

// Two ways to replace an earlier installation's files so that a failed run
// can be taken back, each against copying over them bare, in alternating
// rounds: setting each old file aside (rename, copy, delete at the end:
// what the installation does) and writing each new file under a spare name
// to replace the old one at the end (copy, replace).
void ReplaceCosts(const std::string& work) {
  const std::string package = MakePackage(work, 1000, 64);
  const std::string target = work + "\\again";
  RemoveTree(target);
  BareCopy(package, target);
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((package + "\\*.bgl").c_str(), &data);
  do {
    names.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  auto spare = [&](std::size_t i) { return target + "\\Scenery\\~sc" + std::to_string(i) + ".tmp"; };
  auto aside = [&] {
    const double start = bench::Now();
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string file = target + "\\Scenery\\" + names[i];
      MoveFileA(file.c_str(), spare(i).c_str());
      CopyFileA((package + "\\" + names[i]).c_str(), file.c_str(), FALSE);
    }
    for (std::size_t i = 0; i < names.size(); ++i) DeleteFileA(spare(i).c_str());
    return bench::Now() - start;
  };
  auto replace = [&] {
    const double start = bench::Now();
    for (std::size_t i = 0; i < names.size(); ++i) {
      CopyFileA((package + "\\" + names[i]).c_str(), spare(i).c_str(), FALSE);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
      MoveFileExA(spare(i).c_str(), (target + "\\Scenery\\" + names[i]).c_str(),
                  MOVEFILE_REPLACE_EXISTING);
    }
    return bench::Now() - start;
  };
  auto bare = [&] {
    const double start = bench::Now();
    for (const std::string& name : names) {
      CopyFileA((package + "\\" + name).c_str(), (target + "\\Scenery\\" + name).c_str(), FALSE);
    }
    return bench::Now() - start;
  };
  std::vector<double> aside_ratios, replace_ratios;
  for (int round = 0; round < kRounds; ++round) {
    const double times[3] = {aside(), replace(), bare()};
    aside_ratios.push_back(times[0] / times[2]);
    replace_ratios.push_back(times[1] / times[2]);
  }
  RemoveTree(target);
  bench::Figure("replacing 1000 files of 64 KiB so that a failure can be taken back",
                "set aside (rename, copy, delete): median ratio to a bare copy over them " +
                    Fixed(Median(aside_ratios), 3) + "; spare name then replace: " +
                    Fixed(Median(replace_ratios), 3),
                "reported", true);
}

int Peak(const std::string& package, const std::string& target) {
  RemoveTree(target);
  if (package.size() > 4 && package.substr(package.size() - 4) == ".exe") {
    OursPackedCopy(package, target);
  } else {
    OursCopy(package, target);
  }
  RemoveTree(target);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::printf("%lu\n", static_cast<unsigned long>(counters.PeakWorkingSetSize));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--peak") return Peak(argv[2], argv[3]);
  if (argc == 3 && std::string(argv[1]) == "--replace") {
    CreateDirectoryA(argv[2], nullptr);
    ReplaceCosts(argv[2]);
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "--packed") {
    CreateDirectoryA(argv[2], nullptr);
    CopyBenchmark(argv[2], 1000, 64, true);
    CopyBenchmark(argv[2], 20, 8 * 1024, true);
    return 0;
  }
  if (argc != 2 && !(argc == 3 && std::string(argv[1]) == "--registration")) {
    std::printf("usage: engine_bench [--registration] WORK_FOLDER | engine_bench --peak PACKAGE "
                "TARGET\n");
    return 2;
  }
  const bool registration_only = argc == 3 && std::string(argv[1]) == "--registration";
  const std::string work = argv[registration_only ? 2 : 1];
  CreateDirectoryA(work.c_str(), nullptr);
  if (!registration_only) {
    CopyBenchmark(work, 1000, 64, false);
    CopyBenchmark(work, 2000, 4, false);
    CopyBenchmark(work, 20, 8 * 1024, false);
    CopyBenchmark(work, 1000, 64, false, true);
    ReplaceCosts(work);
    CopyBenchmark(work, 1000, 64, true);
    CopyBenchmark(work, 20, 8 * 1024, true);
  }
  double bytes_1000 = 0, bytes_10000 = 0, unused = 0;
  RegisterBenchmark(work, 10, &unused);
  const double t_1000 = RegisterBenchmark(work, 1000, &bytes_1000);
  const double t_10000 = RegisterBenchmark(work, 10000, &bytes_10000);
  const double growth = t_10000 / t_1000;
  const double byte_growth = bytes_10000 / bytes_1000;
  bench::Figure("registration growth from 1,000 to 10,000 areas",
                Fixed(growth, 2) + "x for " + Fixed(byte_growth, 2) + "x the bytes",
                "no faster than the file's bytes", growth <= byte_growth);
  return 0;
}
