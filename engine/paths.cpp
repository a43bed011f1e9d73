#include "engine/paths.h"

namespace scenery {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool IsUnc(const std::string& path) {
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

}  // namespace

std::size_t RootLength(const std::string& path) {
  if (HasDrive(path)) return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
  if (IsUnc(path)) {
    // Skip "\\server\share\": the server and the share are never made.
    std::size_t server_end = path.find('\\', 2);
    if (server_end == std::string::npos) return path.size();
    std::size_t share_end = path.find('\\', server_end + 1);
    if (share_end == std::string::npos) return path.size();
    return share_end + 1;
  }
  if (!path.empty() && path[0] == '\\') return 1;
  return 0;
}

bool IsFullPath(const std::string& path) {
  if (HasDrive(path)) return path.size() >= 3 && path[2] == '\\';
  if (!IsUnc(path)) return false;
  std::size_t server_end = path.find('\\', 2);
  return server_end != std::string::npos && server_end > 2 && server_end + 1 < path.size() &&
         path[server_end + 1] != '\\';
}

bool HasForbiddenPathCharacters(const std::string& path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c < 32) return true;
    switch (c) {
      case '*': case '?': case '"': case '<': case '>': case '|':
        return true;
      case ':':
        if (!(i == 1 && IsDriveLetter(path[0]))) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace scenery
