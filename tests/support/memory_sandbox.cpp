#include <algorithm>

#include "engine/paths.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/sandbox.h"

namespace scenery {
namespace {

class MemorySandbox : public Sandbox {
 public:
  MemorySandbox() {
    fs_.AddFolder(root());
    fs_.AddFolder(program_folder());
    fs_.AddFolder("C:\\Program Files");  // where the removal programs are kept
    fs_.SetProgramFolder(program_folder());
  }
  FileSystem& fs() override { return fs_; }
  MemoryFileSystem& memory() { return fs_; }
  std::string root() const override { return "C:\\sandbox"; }
  void Write(const std::string& path, const std::string& bytes) override {
    fs_.AddFile(path, bytes);
  }
  void MakeFolders(const std::string& path) override { fs_.AddFolder(path); }
  void SetHidden(const std::string& path) override {
    const bool folder = fs_.IsFolder(path);
    if (folder) {
      fs_.AddFolder(path, true);
    } else {
      fs_.AddFile(path, fs_.Contents(path), true);
    }
  }
  void SetReadOnly(const std::string& path) override { fs_.SetReadOnly(path, true); }
  void SetSystem(const std::string& path) override {
    if (fs_.IsFolder(path)) {
      fs_.AddFolder(path, false, true);
    } else {
      fs_.AddFile(path, fs_.Contents(path), false, true);
    }
  }
  std::string Read(const std::string& path) override { return fs_.Contents(path); }
  std::vector<std::string> Tree() override {
    std::vector<std::string> tree;
    const std::string prefix = UpperAscii(root() + "\\");
    for (const std::string& entry : fs_.Listing()) {
      if (UpperAscii(entry).compare(0, prefix.size(), prefix) == 0 && entry.size() > prefix.size()) {
        tree.push_back(entry.substr(prefix.size()));
      }
    }
    std::sort(tree.begin(), tree.end(), [](const std::string& a, const std::string& b) {
      return UpperAscii(a) < UpperAscii(b);
    });
    return tree;
  }

 private:
  MemoryFileSystem fs_;
};

}  // namespace

std::unique_ptr<Sandbox> MakeMemorySandbox(MemoryFileSystem** memory) {
  auto sandbox = std::make_unique<MemorySandbox>();
  if (memory != nullptr) *memory = &sandbox->memory();
  return sandbox;
}

}  // namespace scenery
