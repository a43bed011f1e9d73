#include "platform/win32/self_removal.h"

#include <windows.h>

#include <cstdlib>
#include <cstdint>
#include <cstring>

#include "engine/command_line.h"
#include "engine/paths.h"
#include "engine/removal.h"
#include "engine/text_lines.h"
#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_file_system.h"

namespace scenery {
namespace {

constexpr char kSwitch[] = "/cleanup-after";
constexpr char kCopyName[] = "scenery-setup-cleanup.exe";
constexpr DWORD kWaitForEndMs = 30000;
constexpr int kDeleteTries = 100;  // 20 ms apart: two seconds
constexpr DWORD kTryEveryMs = 20;

// 16 random hexadecimal digits from the system's generator; the time and
// the process as a last resort.
std::string RandomName() {
  using RandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  auto random = reinterpret_cast<RandomFn>(SystemFunction(L"advapi32.dll", "SystemFunction036"));
  unsigned char bytes[8] = {};
  if (random == nullptr || !random(bytes, sizeof bytes)) {
    const DWORD mix[2] = {GetTickCount(), GetCurrentProcessId()};
    std::memcpy(bytes, mix, sizeof bytes);
  }
  std::string name;
  for (unsigned char byte : bytes) name += Digits(byte, 16, 2);
  return name;
}

}  // namespace

bool RemoveAfterExit(const std::string& program, const std::string& folder) {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return false;
  std::string own_folder;
  for (int attempt = 0; attempt < 5 && own_folder.empty(); ++attempt) {
    const std::string candidate = std::string(temp) + "scenery-setup-" + RandomName();
    if (CreateDirectoryA(candidate.c_str(), nullptr)) own_folder = candidate;
  }
  if (own_folder.empty()) return false;
  const std::string copy = own_folder + "\\" + kCopyName;
  if (!CopyFileA(program.c_str(), copy.c_str(), TRUE)) {
    RemoveDirectoryA(own_folder.c_str());
    return false;
  }
  // A handle to this process that the copy inherits: it waits on it.
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE, TRUE, 0)) {
    return false;
  }
  std::string command = QuotedArgument(copy) + " " + kSwitch + " " +
                        std::to_string(reinterpret_cast<std::uintptr_t>(self)) + " " +
                        QuotedArgument(program) + " " + QuotedArgument(folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // Started in its own folder, so that no process keeps the destination as
  // its current folder.
  const BOOL started = CreateProcessA(copy.c_str(), &command[0], nullptr, nullptr, TRUE, 0,
                                      nullptr, own_folder.c_str(), &startup, &process);
  CloseHandle(self);
  if (!started) {
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(own_folder.c_str());
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool RunCleanupIfAsked(const char* command_line) {
  bool unclosed = false;
  const std::vector<std::string> words = SplitArguments(ArgumentsOf(command_line), &unclosed);
  if (words.size() != 4 || words[0] != kSwitch || unclosed) return false;
  const std::string& handle = words[1];
  const std::string& program = words[2];
  const std::string& folder = words[3];
  HANDLE waited = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::strtoul(handle.c_str(), nullptr, 10)));
  WaitForSingleObject(waited, kWaitForEndMs);
  CloseHandle(waited);
  // The switch is internal: honoured only by the copy that RemoveAfterExit
  // made in a folder of its own in the temporary folder, and only for an
  // Uninstall.exe whose record names the folder it lies in. Given by hand,
  // it deletes nothing. (Checked once the removal has ended and closed its
  // file.)
  char self_path[MAX_PATH];
  char temp[MAX_PATH];
  const DWORD self_length = GetModuleFileNameA(nullptr, self_path, MAX_PATH);
  const DWORD temp_length = GetTempPathA(MAX_PATH, temp);
  if (self_length == 0 || self_length >= MAX_PATH || temp_length == 0 || temp_length >= MAX_PATH) {
    return true;
  }
  const std::string self(self_path, self_length);
  const std::string own_folder = ParentFolder(self);
  const std::string own_name = own_folder.substr(own_folder.rfind('\\') + 1);
  Win32FileSystem fs;
  if (ComparableFolder(ParentFolder(own_folder), "") != ComparableFolder(temp, "") ||
      FoldedCase(self.substr(own_folder.size() + 1)) != FoldedCase(kCopyName) ||
      own_name.size() != 30 || own_name.compare(0, 14, "scenery-setup-") != 0 ||
      !IsOwnCleanup(fs, program, folder)) {
    return true;
  }
  for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
    if (DeleteFileA(program.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
    Sleep(kTryEveryMs);
  }
  RemoveDirectoryA(folder.c_str());  // only when empty
  // This copy and its folder go at the next start of Windows.
  MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(own_folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return true;
}

}  // namespace scenery
