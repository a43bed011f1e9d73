#include "platform/win32/self_removal.h"

#include <windows.h>

#include <cstdlib>
#include <cstdint>
#include <cstring>

#include "engine/command_line.h"
#include "engine/text_lines.h"
#include "platform/win32/system_libraries.h"

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
  for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
    if (DeleteFileA(program.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
    Sleep(kTryEveryMs);
  }
  RemoveDirectoryA(folder.c_str());  // only when empty
  // This copy and its folder go at the next start of Windows.
  char self[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (length != 0 && length < MAX_PATH) {
    std::string own = self;
    MoveFileExA(own.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(own.substr(0, own.rfind('\\')).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
  return true;
}

}  // namespace scenery
