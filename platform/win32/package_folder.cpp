#include "pack/package_folder.h"

#include <windows.h>

#include "engine/command_line.h"
#include "engine/paths.h"
#include "platform/win32/win32_file_system.h"

namespace scenery {
namespace pack {
namespace {

// The Win32 file system with the package folder in the place of the
// program's own folder.
class PackageFolderFileSystem : public Win32FileSystem {
 public:
  explicit PackageFolderFileSystem(std::string folder) : folder_(std::move(folder)) {}
  std::string ProgramFolder() override { return folder_; }

 private:
  std::string folder_;
};

}  // namespace

std::unique_ptr<FileSystem> OpenPackageFolder(const std::string& folder) {
  return std::make_unique<PackageFolderFileSystem>(WithoutTrailingSeparators(folder));
}

char PathSeparator() { return '\\'; }

void WriteText(std::FILE* stream, const std::string& text) {
  HANDLE console = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (text.empty() || !GetConsoleMode(console, &mode)) {
    std::fputs(text.c_str(), stream);
    return;
  }
  std::fflush(stream);  // what went through stdio before stays in front
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  DWORD written = 0;
  WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* why) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *why = SystemErrorText(GetLastError());
  return false;
}

bool MakeFolders(const std::string& folder, std::string* why, std::vector<std::string>* made) {
  for (std::size_t at = folder.find('\\', RootLength(folder));; at = folder.find('\\', at + 1)) {
    const std::string part = folder.substr(0, at);
    if (!part.empty() && GetFileAttributesA(part.c_str()) == INVALID_FILE_ATTRIBUTES) {
      if (!CreateDirectoryA(part.c_str(), nullptr)) {
        *why = SystemErrorText(GetLastError());
        return false;
      }
      made->push_back(part);
    }
    if (at == std::string::npos) return true;
  }
}

void RemoveEmptyFolder(const std::string& folder) { RemoveDirectoryA(folder.c_str()); }

bool ProgramArguments(int, char**, std::vector<std::string>* arguments, std::string* fault) {
  // The command line as Unicode, split by Windows' rules as UTF-8 (whose
  // quotes and backslashes are ASCII), then each word in the ANSI code page.
  const wchar_t* line = GetCommandLineW();
  const int length = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  bool unclosed = false;
  arguments->assign(1, "scenery-pack");
  for (const std::string& word : SplitArguments(ArgumentsOf(utf8), &unclosed)) {
    const int wide_length = MultiByteToWideChar(CP_UTF8, 0, word.data(),
                                                static_cast<int>(word.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, word.data(), static_cast<int>(word.size()), &wide[0],
                        wide_length);
    BOOL lost = FALSE;
    const int ansi_length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                wide_length, nullptr, 0, nullptr, &lost);
    std::string ansi(static_cast<std::size_t>(ansi_length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, &ansi[0],
                        ansi_length, nullptr, &lost);
    if (lost) {
      *fault = "\"" + ansi + "\" holds a character that the Windows ANSI code page lacks "
               "(shown as ?): scenery-pack cannot open or write such a path as given, and "
               "writes nothing elsewhere; rename the folder or file, or choose another";
      return false;
    }
    arguments->push_back(ansi);
  }
  return true;
}

}  // namespace pack
}  // namespace scenery
