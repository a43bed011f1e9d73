// The sandbox on the real Win32 file system: a fresh folder below the
// temporary folder, removed again when the test ends.
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "engine/paths.h"
#include "platform/win32/win32_file_system.h"
#include "tests/support/sandbox.h"
#include "tests/support/win32_tree.h"

namespace scenery {
namespace {

// The product's file system with the program folder moved into the sandbox.
class SandboxFileSystem : public Win32FileSystem {
 public:
  explicit SandboxFileSystem(std::string program_folder)
      : program_folder_(std::move(program_folder)) {}
  std::string ProgramFolder() override { return program_folder_; }

 private:
  std::string program_folder_;
};

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

void Walk(const std::string& folder, const std::string& relative, std::vector<std::string>& out) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back(relative + name + "\\");
      Walk(folder + "\\" + name, relative + name + "\\", out);
    } else {
      out.push_back(relative + name);
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

class Win32Sandbox : public Sandbox {
 public:
  Win32Sandbox() {
    static int counter = 0;
    char temp[MAX_PATH + 1];
    Check(GetTempPathA(sizeof temp, temp) != 0, "GetTempPathA");
    root_ = std::string(temp) + "scenery-setup-test-" + std::to_string(GetCurrentProcessId()) +
            "-" + std::to_string(++counter);
    RemoveTree(root_);
    MakeFolders(program_folder());
    fs_ = std::make_unique<SandboxFileSystem>(program_folder());
  }
  ~Win32Sandbox() override { RemoveTree(root_); }

  FileSystem& fs() override { return *fs_; }
  std::string root() const override { return root_; }
  void Write(const std::string& path, const std::string& bytes) override {
    MakeFolders(path.substr(0, path.rfind('\\')));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "CreateFileA " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr);
    CloseHandle(file);
    Check(ok && written == bytes.size(), "WriteFile " + path);
  }
  void MakeFolders(const std::string& path) override {
    for (std::size_t p = path.find('\\', RootLength(path)); ; p = path.find('\\', p + 1)) {
      const std::string level = path.substr(0, p);
      CreateDirectoryA(level.c_str(), nullptr);
      if (p == std::string::npos) break;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY),
          "CreateDirectoryA " + path);
  }
  void SetHidden(const std::string& path) override { AddAttribute(path, FILE_ATTRIBUTE_HIDDEN); }
  void SetReadOnly(const std::string& path) override { AddAttribute(path, FILE_ATTRIBUTE_READONLY); }
  void SetSystem(const std::string& path) override { AddAttribute(path, FILE_ATTRIBUTE_SYSTEM); }
  std::string Read(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
  }
  bool NothingHolds(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }
  std::vector<std::string> Tree() override {
    std::vector<std::string> tree;
    Walk(root_, "", tree);
    std::sort(tree.begin(), tree.end(), [](const std::string& a, const std::string& b) {
      return UpperAscii(a) < UpperAscii(b);
    });
    return tree;
  }

 private:
  void AddAttribute(const std::string& path, DWORD attribute) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    Check(attributes != INVALID_FILE_ATTRIBUTES, "GetFileAttributesA " + path);
    Check(SetFileAttributesA(path.c_str(), (attributes & ~FILE_ATTRIBUTE_NORMAL) | attribute),
          "SetFileAttributesA " + path);
  }

  std::string root_;
  std::unique_ptr<SandboxFileSystem> fs_;
};

}  // namespace

std::vector<SandboxKind> AvailableSandboxes() {
  return {SandboxKind{"Memory", [] { return MakeMemorySandbox(); }},
          SandboxKind{"Win32", [] { return std::unique_ptr<Sandbox>(new Win32Sandbox()); }}};
}

}  // namespace scenery
