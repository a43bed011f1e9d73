#include "pack/package_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/posix_file_system.h"

namespace scenery {
namespace pack {

std::unique_ptr<FileSystem> OpenPackageFolder(const std::string& folder) {
  return std::make_unique<PosixFileSystem>(folder);
}

char PathSeparator() { return '/'; }

void WriteText(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* why) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *why = std::strerror(errno);
  return false;
}

bool MakeFolders(const std::string& folder, std::string* why, std::vector<std::string>* made) {
  for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
    const std::string part = folder.substr(0, at);
    struct stat info;
    if (!part.empty() && stat(part.c_str(), &info) != 0) {
      if (mkdir(part.c_str(), 0777) != 0) {
        *why = std::strerror(errno);
        return false;
      }
      made->push_back(part);
    }
    if (at == std::string::npos) return true;
  }
}

void RemoveEmptyFolder(const std::string& folder) { rmdir(folder.c_str()); }

bool ProgramArguments(int argc, char** argv, std::vector<std::string>* arguments, std::string*) {
  arguments->assign(argv, argv + argc);
  return true;
}

}  // namespace pack
}  // namespace scenery
