// Removing a folder tree on the real Win32 file system, for the tests and
// benchmarks that lay out files there.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_WIN32_TREE_H_
#define SCENERY_SETUP_TESTS_SUPPORT_WIN32_TREE_H_

#include <windows.h>

#include <string>

namespace scenery {

// Deletes `folder` with everything in it, hidden and read-only entries too.
inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_WIN32_TREE_H_
