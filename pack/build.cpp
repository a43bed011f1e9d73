#include "pack/build.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/crc32c.h"
#include "engine/packed_package.h"
#include "engine/paths.h"
#include "pack/check.h"
#include "pack/compress.h"
#include "pack/package_folder.h"

namespace scenery {
namespace pack {
namespace {

int Refuse(const std::string& why) {
  Print(stderr, "scenery-pack: %s; nothing was written\n", why.c_str());
  return 2;
}

bool ReadNative(const std::string& path, std::string* bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

// UTF-16LE, as a version resource holds its texts.
std::string Utf16(const std::string& text) {
  std::string bytes;
  for (char c : text) bytes += std::string{c, '\0'};
  return bytes;
}

// What is wrong with `program` as the Setup.exe of a one-file package.
// `given` (--setup): it must be a Setup.exe of this program, as its version
// resource names it (another program would install nothing).
std::string ProgramFault(const std::string& program, bool given, bool compressed) {
  MemoryByteFile file(program);
  PeFacts facts;
  if (!ReadPeFacts(file, &facts)) return "it is not a Windows program";
  // The version in the resource's fixed part, after its signature.
  const std::size_t fixed = program.find("\xBD\x04\xEF\xFE");
  std::uint32_t version = 0;  // major << 16 | minor
  if (fixed != std::string::npos && fixed + 12 <= program.size()) {
    for (int i = 0; i < 4; ++i) {
      version |= static_cast<std::uint32_t>(static_cast<unsigned char>(program[fixed + 8 + i]))
                 << (8 * i);
    }
  }
  if (compressed && version < kFirstCompressingVersion) {
    return "it is of a version before " + std::to_string(kFirstCompressingVersion >> 16) + "." +
           std::to_string(kFirstCompressingVersion & 0xFFFF) +
           ", which cannot read a compressed package; give the Setup.exe of this release, or "
           "--store";
  }
  const std::size_t name = program.find(Utf16("OriginalFilename"));
  if (given && (program.find(Utf16("scenery-setup")) == std::string::npos ||
                name == std::string::npos ||
                program.compare(name + 34, 20, Utf16("Setup.exe") + std::string(2, '\0')) != 0)) {
    return "its version resource does not name it Setup.exe of scenery-setup; give the "
           "Setup.exe of this release";
  }
  if (facts.certificates_size != 0) {
    return "it is signed, and a package added after a signature breaks it: pack the unsigned "
           "Setup.exe, then sign the packed one";
  }
  if (program.size() > facts.image_end) {
    PackedLayout layout;
    std::string why;
    if (ReadPackedLayout(file, &layout, &why) == PackedState::kPackage) {
      return "it carries a package already: pack the Setup.exe that the build made";
    }
    return "bytes follow its program image; pack the Setup.exe that the build made";
  }
  return "";
}

// Writes the package's files after the program into an open file: the
// compressed ones from memory, the stored ones read again.
class FileWriter : public PackWriter {
 public:
  FileWriter(FILE* out, const std::string& out_path, FileSystem& fs, const std::string& folder,
             const PackageFiles& files)
      : out_(out), out_path_(out_path), fs_(fs), folder_(folder), files_(files) {}
  void Write(const std::string& bytes) override { Put(bytes); }
  void CopyFile(std::size_t index) override {
    const FileToPack& file = files_.list[index];
    if (file.method != PackMethod::kStored) return Put(files_.data[index]);
    const std::string bytes = fs_.ReadWholeFile(folder_ + "\\" + file.name);
    if (bytes.size() != file.size || Crc32c(0, bytes.data(), bytes.size()) != file.crc) {
      throw Failure(FailureKind::kOther, op::kRead, file.name, "It changed while it was packed.");
    }
    Put(bytes);
  }

 private:
  void Put(const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) {
      throw Failure(FailureKind::kOther, op::kWrite, out_path_, std::strerror(errno));
    }
  }
  FILE* out_;
  std::string out_path_;
  FileSystem& fs_;
  std::string folder_;
  const PackageFiles& files_;
};

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

}  // namespace

int BuildPackage(const std::string& folder, const std::string& given_output,
                 const std::string& setup, bool strict, int level) {
  auto fs = OpenPackageFolder(folder);
  // An existing folder as OUTPUT: the Setup.exe in it.
  std::string output = given_output;
  try {
    if (fs->Probe(output).kind == EntryKind::kFolder) {
      output = WithoutTrailingSeparators(output) + PathSeparator() + "Setup.exe";
    }
  } catch (const Failure&) {
  }
  const PackageReport report = CheckPackage(*fs);
  for (const Finding& finding : report.findings) {
    Print(stdout, "%s\n", FormatFinding(finding, folder, PathSeparator()).c_str());
  }
  if (report.ExitCode() == 2) return Refuse("the package has errors (see above)");
  if (strict && report.ExitCode() == 1) return Refuse("the package has warnings (see above) and --strict was given");

  std::string program;
  if (setup.empty()) {
    std::string own;
    for (const FileEntry& file : fs->ListFiles(folder)) {
      if (UpperAscii(file.name) == "SETUP.EXE") own = file.name;
    }
    if (own.empty()) return Refuse("the package folder has no Setup.exe; give one with --setup");
    program = fs->ReadWholeFile(folder + "\\" + own);
  } else if (!ReadNative(setup, &program)) {
    return Refuse("cannot read " + setup);
  }
  const std::string fault = ProgramFault(program, !setup.empty(), level > 0);
  if (!fault.empty()) return Refuse("Setup.exe cannot be packed: " + fault);

  if (fs->IsSameEntry(folder, ParentOf(output))) {
    return Refuse("the output may not lie in the package folder, where it would be packed next time");
  }

  PackageFiles files;
  try {
    files = CollectFiles(*fs, folder, report, level);
  } catch (const Failure& failure) {
    return Refuse(failure.path() + ": " + failure.reason());
  }

  // A missing output folder is made; a failed write leaves none of those.
  const std::string output_folder = ParentOf(output);
  std::string not_made;
  std::vector<std::string> made;
  auto refuse = [&made](const std::string& why) {
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) RemoveEmptyFolder(*folder);
    return Refuse(why);
  };
  if (!MakeFolders(output_folder, &not_made, &made)) {
    return refuse("cannot make the folder " + output_folder + ": " + not_made);
  }
  const std::string temporary = output + ".partial";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) return refuse("cannot write " + output + ": " + std::strerror(errno));
  try {
    FileWriter writer(out, output, *fs, folder, files);
    writer.Write(program);
    WritePackage(program.size(), files.list, writer);
  } catch (const Failure& failure) {
    std::fclose(out);
    std::remove(temporary.c_str());
    return refuse(failure.path() + ": " + failure.reason());
  }
  std::string why;
  if (std::fclose(out) != 0) {
    why = std::strerror(errno);
  } else {
    MoveIntoPlace(temporary, output, &why);
  }
  if (!why.empty()) {
    std::remove(temporary.c_str());
    return refuse("cannot write " + output + ": " + why);
  }

  Print(stdout, "Packed into %s:\n", output.c_str());
  for (const FileToPack& file : files.list) {
    const std::string how =
        file.method == PackMethod::kStored ? ""
        : file.method == PackMethod::kLzma
            ? ", " + std::to_string(file.stored) + " compressed"
            : ", in the solid stream of " + std::to_string(file.stored) + " bytes";
    Print(stdout, "  %-32s %llu bytes%s\n", file.name.c_str(),
          static_cast<unsigned long long>(file.size), how.c_str());
  }
  Print(stdout, "%zu files, %llu bytes, after Setup.exe's %zu bytes\n", files.list.size(),
        static_cast<unsigned long long>(files.stored), program.size());
  WriteText(stdout, CompressionLine(files, level) + "\n");
  // What the package installs, and what it leaves out.
  WriteText(stdout, FormatSummary(report, folder));
  return 0;
}

}  // namespace pack
}  // namespace scenery
