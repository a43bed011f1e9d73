#include "platform/win32/win32_session.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <utility>

#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_file_system.h"

namespace scenery {

std::vector<std::string> Win32Session::RunningPrograms() {
  std::vector<std::string> programs;
  using ImageNameFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD);
  static const auto image_name =
      reinterpret_cast<ImageNameFn>(SystemFunction(L"psapi.dll", "GetProcessImageFileNameA"));
  if (image_name == nullptr) return programs;
  // The device of each drive ("\Device\HarddiskVolume1" for C:), in which
  // terms the system names a process's executable.
  std::vector<std::pair<std::string, std::string>> devices;
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(drives & (1u << letter))) continue;
    const char drive[3] = {static_cast<char>('A' + letter), ':', '\0'};
    char device[MAX_PATH] = {};
    if (QueryDosDeviceA(drive, device, sizeof device) != 0) devices.emplace_back(device, drive);
  }
  HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) return programs;
  PROCESSENTRY32 process = {};
  process.dwSize = sizeof process;
  for (BOOL more = Process32First(processes, &process); more;
       more = Process32Next(processes, &process)) {
    if (process.th32ProcessID == 0 || process.th32ProcessID == GetCurrentProcessId()) continue;
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process.th32ProcessID);
    if (handle == nullptr) continue;
    char name[MAX_PATH + 1] = {};
    const DWORD length = image_name(handle, name, sizeof name);
    CloseHandle(handle);
    const std::string image(name, length);
    for (const auto& device : devices) {
      if (image.size() > device.first.size() && image[device.first.size()] == '\\' &&
          image.compare(0, device.first.size(), device.first) == 0) {
        programs.push_back(device.second + image.substr(device.first.size()));
        break;
      }
    }
  }
  CloseHandle(processes);
  return programs;
}

std::string Win32Session::VirtualStore() {
  using FolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  using OpenTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
  const auto folder_path =
      reinterpret_cast<FolderPathFn>(SystemFunction(L"shell32.dll", "SHGetFolderPathA"));
  const auto open_token =
      reinterpret_cast<OpenTokenFn>(SystemFunction(L"advapi32.dll", "OpenProcessToken"));
  if (folder_path == nullptr) return "";
  // The desktop's user owns the shell's process.
  HANDLE token = nullptr;
  DWORD shell_process = 0;
  if (HWND shell = GetShellWindow()) GetWindowThreadProcessId(shell, &shell_process);
  if (shell_process != 0 && open_token != nullptr) {
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, shell_process)) {
      if (!open_token(process, TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE, &token)) {
        token = nullptr;
      }
      CloseHandle(process);
    }
  }
  const int kLocalAppData = 0x001c;  // CSIDL_LOCAL_APPDATA
  const int kDontVerify = 0x4000;    // CSIDL_FLAG_DONT_VERIFY
  char path[MAX_PATH + 1] = {};
  HRESULT result = folder_path(nullptr, kLocalAppData | kDontVerify, token, 0, path);
  if (token != nullptr) {
    CloseHandle(token);
    if (result != S_OK)
      result = folder_path(nullptr, kLocalAppData | kDontVerify, nullptr, 0, path);
  }
  if (result != S_OK || path[0] == '\0') return "";
  return std::string(path) + "\\VirtualStore";
}

std::string Win32Session::SystemDrive() {
  const std::string windows = WindowsFolder();
  return windows.size() >= 2 && windows[1] == ':' ? windows.substr(0, 2) : std::string();
}

}  // namespace scenery
