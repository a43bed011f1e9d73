#include "platform/win32/system_libraries.h"

#include <windows.h>

#include <commctrl.h>

#include <cwchar>

namespace scenery {

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// Libraries that the system's own libraries load by name when they need
// them: the theme library (user32 and the common controls, with visual
// styles), the window manager's (Vista and later), the sound library
// (message box sounds), the cryptography base (advapi32, Windows 7 and
// later), the property system (the shell). Loaded first from the system
// folder, they are found already in place by every later load by name.
const wchar_t* const kLoadedByTheSystem[] = {L"uxtheme.dll", L"dwmapi.dll", L"winmm.dll",
                                             L"cryptbase.dll", L"propsys.dll"};
// Libraries that Wine's own libraries load by name from the program's
// folder even with the narrowed search (ole32 from the input-method
// library, msimg32 from the theme library): loaded first from the system
// folder on every system. Both are small or already mapped on Windows.
const wchar_t* const kLoadedByNameEverywhere[] = {L"ole32.dll", L"msimg32.dll"};

// Loads LIBRARY from the system folder by its full path; the libraries it
// imports are then looked for in the system folder too, not in the
// program's. Never loads a library of that name from anywhere else. (Plain
// wide-character buffers: a std::wstring would bring its whole template
// into the program.)
HMODULE LoadFromSystemFolder(const wchar_t* library) {
  wchar_t path[MAX_PATH + 64];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  const std::size_t name = std::wcslen(library);
  if (length == 0 || length >= MAX_PATH || length + 1 + name >= sizeof path / sizeof *path) {
    return nullptr;
  }
  path[length] = L'\\';
  std::wmemcpy(path + length + 1, library, name + 1);
  return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void RestrictLibrarySearch() {
  for (const wchar_t* library : kLoadedByNameEverywhere) LoadFromSystemFolder(library);
  // Both are looked up at run time: Windows XP SP3 has SetDllDirectoryW but
  // not SetDefaultDllDirectories (Windows 8, and 7 and Vista with KB2533623).
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set_default != nullptr && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it the program's folder stays in the search: the current folder
  // is taken out, and what the system's libraries load by name is loaded
  // first from the system folder.
  auto set_directory = reinterpret_cast<SetDllDirectoryFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW")));
  if (set_directory != nullptr) set_directory(L"");
  for (const wchar_t* library : kLoadedByTheSystem) LoadFromSystemFolder(library);
}

void* SystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = LoadFromSystemFolder(library);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(module, function));
}


void InitThemedControls() {
  HMODULE controls = LoadLibraryW(L"comctl32.dll");
  if (controls == nullptr) return;
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = reinterpret_cast<InitFn>(
      reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES};
  if (init != nullptr) init(&classes);
}

}  // namespace scenery
