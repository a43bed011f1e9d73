#include "platform/win32/self_removal.h"

#include <windows.h>

#include <cstring>

#include "engine/paths.h"
#include "engine/text_lines.h"
#include "platform/win32/system_libraries.h"

namespace scenery {
namespace {

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

// Whether `folder` holds nothing but the files of removal programs that
// wait for the next start of Windows.
bool HoldsOnlyRetired(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool only = true;
  do {
    const std::string name = data.cFileName;
    only = only && (name == "." || name == ".." || name.compare(0, 9, "~removed-") == 0);
  } while (only && FindNextFileA(find, &data));
  FindClose(find);
  return only;
}

}  // namespace

bool RetireRemovalProgram(const std::string& program, const std::string& expected) {
  if (ComparableFolder(program, "") != ComparableFolder(expected, "")) return false;
  const std::string folder = ParentFolder(program);
  const std::string root = ParentFolder(folder);
  // A running program's file can be renamed, not deleted. Its new name is
  // one that no installation uses, so that the deletion queued for the next
  // start of Windows can never take a later installation's program.
  const std::string aside = root + "\\~removed-" + RandomName() + ".tmp";
  if (!MoveFileExA(program.c_str(), aside.c_str(), 0)) return false;
  MoveFileExA(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  // Started in its folder (the current folder of a program started from
  // it), it leaves it first: no folder is removed while it is current.
  SetCurrentDirectoryA(root.c_str());
  RemoveDirectoryA(folder.c_str());
  // The root goes too once nothing else is installed (removed only when it
  // is empty then).
  if (HoldsOnlyRetired(root)) MoveFileExA(root.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return true;
}

}  // namespace scenery
