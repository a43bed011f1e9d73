// A fresh, empty folder on one FileSystem implementation, with the means to
// lay out files in it and look at them afterwards without going through the
// code under test. The same tests run on every implementation available to
// the build: the in-memory one everywhere, the Win32 one under Wine.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_SANDBOX_H_
#define SCENERY_SETUP_TESTS_SUPPORT_SANDBOX_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_system.h"

namespace scenery {

class Sandbox {
 public:
  virtual ~Sandbox() = default;
  // The file system under test; its program folder is root() + "\pkg".
  virtual FileSystem& fs() = 0;
  // The sandbox folder: a full path without a trailing backslash.
  virtual std::string root() const = 0;
  // Writes a file, making the folders above it.
  virtual void Write(const std::string& path, const std::string& bytes) = 0;
  // Makes a folder and the folders above it.
  virtual void MakeFolders(const std::string& path) = 0;
  virtual void SetHidden(const std::string& path) = 0;
  virtual void SetSystem(const std::string& path) = 0;
  virtual void SetReadOnly(const std::string& path) = 0;
  virtual std::string Read(const std::string& path) = 0;
  // Whether no handle to the file is left open (it can be opened without
  // sharing). The in-memory file system keeps no handles.
  virtual bool NothingHolds(const std::string&) { return true; }
  // Every entry below root(), as a relative path with folders ending in a
  // backslash, sorted without regard to letter case.
  virtual std::vector<std::string> Tree() = 0;

  std::string program_folder() const { return root() + "\\pkg"; }
};

struct SandboxKind {
  std::string name;
  std::function<std::unique_ptr<Sandbox>()> make;
};

// The implementations this test build can run on.
std::vector<SandboxKind> AvailableSandboxes();

// The in-memory sandbox, for tests that need its extra powers.
class MemoryFileSystem;
std::unique_ptr<Sandbox> MakeMemorySandbox(MemoryFileSystem** memory = nullptr);

}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_SANDBOX_H_
