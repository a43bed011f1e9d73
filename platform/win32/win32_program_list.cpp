#include "platform/win32/win32_program_list.h"

#include <windows.h>

#include "engine/failure.h"
#include "platform/win32/system_libraries.h"

namespace scenery {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kOurKeys[] = "scenery-setup-";
constexpr char kWriteEntry[] = "write the entry in the list of programs for";
constexpr char kRemoveEntry[] = "remove the entry in the list of programs for";

using CreateFn = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM,
                               LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
using OpenFn = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
using SetFn = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
using QueryFn = LONG(WINAPI*)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using EnumFn = LONG(WINAPI*)(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPSTR, LPDWORD, PFILETIME);
using DeleteFn = LONG(WINAPI*)(HKEY, LPCSTR);
using DeleteValueFn = LONG(WINAPI*)(HKEY, LPCSTR);
using CloseFn = LONG(WINAPI*)(HKEY);

// The registry's functions, from the system folder's advapi32.
struct Registry {
  CreateFn create = reinterpret_cast<CreateFn>(SystemFunction(L"advapi32.dll", "RegCreateKeyExA"));
  OpenFn open = reinterpret_cast<OpenFn>(SystemFunction(L"advapi32.dll", "RegOpenKeyExA"));
  SetFn set = reinterpret_cast<SetFn>(SystemFunction(L"advapi32.dll", "RegSetValueExA"));
  QueryFn query = reinterpret_cast<QueryFn>(SystemFunction(L"advapi32.dll", "RegQueryValueExA"));
  EnumFn enumerate = reinterpret_cast<EnumFn>(SystemFunction(L"advapi32.dll", "RegEnumKeyExA"));
  DeleteFn remove = reinterpret_cast<DeleteFn>(SystemFunction(L"advapi32.dll", "RegDeleteKeyA"));
  DeleteValueFn remove_value =
      reinterpret_cast<DeleteValueFn>(SystemFunction(L"advapi32.dll", "RegDeleteValueA"));
  CloseFn close = reinterpret_cast<CloseFn>(SystemFunction(L"advapi32.dll", "RegCloseKey"));
  bool complete() const { return create && open && set && query && enumerate && remove && close; }
};

[[noreturn]] void Throw(LONG code, const char* operation, const std::string& destination) {
  char text[256] = "";
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(code), 0, text, sizeof text,
                                      nullptr);
  std::string reason(text, length);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n')) reason.pop_back();
  if (reason.empty()) reason = "Error " + std::to_string(code) + ".";
  throw Failure(code == ERROR_ACCESS_DENIED ? FailureKind::kAccessDenied : FailureKind::kOther,
                operation, destination, reason);
}

std::string QueryText(const Registry& registry, HKEY key, const char* name) {
  char value[1024];
  DWORD type = 0, size = sizeof value - 1;
  if (registry.query(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return "";
  }
  value[size] = '\0';
  return value;
}

}  // namespace

void Win32ProgramList::Register(const ProgramEntry& entry) {
  const Registry registry;
  if (!registry.complete()) Throw(ERROR_PROC_NOT_FOUND, kWriteEntry, entry.destination);
  const std::string name = std::string(kUninstallKey) + "\\" + ProgramKeyOf(entry.destination);
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG code = registry.create(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, &disposition);
  if (code != ERROR_SUCCESS) Throw(code, kWriteEntry, entry.destination);
  auto text = [&](const char* value, const std::string& data) {
    if (code == ERROR_SUCCESS) {
      code = registry.set(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
    }
  };
  auto number = [&](const char* value, DWORD data) {
    if (code == ERROR_SUCCESS) {
      code = registry.set(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data);
    }
  };
  text("DisplayName", entry.display_name);
  text("UninstallString", "\"" + entry.uninstall_exe + "\"");
  text("QuietUninstallString", "\"" + entry.uninstall_exe + "\" /S");
  text("InstallLocation", entry.destination);
  text("DisplayIcon", entry.uninstall_exe);
  // Optional values: left out (and taken away from an earlier entry) when empty.
  auto optional_text = [&](const char* value, const std::string& data) {
    if (!data.empty()) {
      text(value, data);
    } else if (registry.remove_value != nullptr) {
      registry.remove_value(key, value);
    }
  };
  optional_text("Publisher", entry.publisher);
  optional_text("DisplayVersion", entry.version);
  number("EstimatedSize", entry.size_kib);
  number("NoModify", 1);
  number("NoRepair", 1);
  registry.close(key);
  if (code != ERROR_SUCCESS) {
    // A new entry is not left half-written.
    if (disposition == REG_CREATED_NEW_KEY) registry.remove(HKEY_LOCAL_MACHINE, name.c_str());
    Throw(code, kWriteEntry, entry.destination);
  }
}

void Win32ProgramList::Unregister(const std::string& destination) {
  const Registry registry;
  if (!registry.complete()) Throw(ERROR_PROC_NOT_FOUND, kRemoveEntry, destination);
  const std::string name = std::string(kUninstallKey) + "\\" + ProgramKeyOf(destination);
  const LONG code = registry.remove(HKEY_LOCAL_MACHINE, name.c_str());
  if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) Throw(code, kRemoveEntry, destination);
}

std::vector<std::string> Win32ProgramList::Folders() {
  std::vector<std::string> folders;
  const Registry registry;
  if (!registry.complete()) return folders;
  HKEY list = nullptr;
  if (registry.open(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &list) != ERROR_SUCCESS) {
    return folders;
  }
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (registry.enumerate(list, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    if (std::string(name).compare(0, sizeof kOurKeys - 1, kOurKeys) != 0) continue;
    HKEY entry = nullptr;
    if (registry.open(list, name, 0, KEY_QUERY_VALUE, &entry) != ERROR_SUCCESS) continue;
    const std::string folder = QueryText(registry, entry, "InstallLocation");
    if (!folder.empty()) folders.push_back(folder);
    registry.close(entry);
  }
  registry.close(list);
  return folders;
}

std::string Win32ProgramList::RemovalRoot() {
  // The folder for programs as the system keeps it (on 64-bit Windows the
  // one for 32-bit programs), never from the environment, which the caller
  // of an elevated program chooses.
  using FolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  const auto folder_path =
      reinterpret_cast<FolderPathFn>(SystemFunction(L"shell32.dll", "SHGetFolderPathA"));
  char path[MAX_PATH] = "";
  const int kProgramFiles = 0x0026;  // CSIDL_PROGRAM_FILES
  if (folder_path == nullptr || folder_path(nullptr, kProgramFiles, nullptr, 0, path) != S_OK ||
      path[0] == '\0') {
    throw Failure(FailureKind::kNotFound, "find the folder for programs", "Program Files",
                  "Windows did not tell where it keeps programs.");
  }
  std::string root = path;
  if (root.back() != '\\') root += '\\';
  return root + "Scenery Setup";
}

}  // namespace scenery
