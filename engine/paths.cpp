#include "engine/paths.h"

#include <algorithm>
#include <vector>

namespace scenery {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool IsUnc(const std::string& path) {
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

bool MatchFrom(const std::string& p, std::size_t pi, const std::string& n, std::size_t ni) {
  while (pi < p.size()) {
    if (p[pi] == '*') {
      for (std::size_t k = ni; k <= n.size(); ++k) {
        if (MatchFrom(p, pi + 1, n, k)) return true;
      }
      return false;
    }
    if (ni >= n.size()) return false;
    if (p[pi] != '?' && FoldAnsiCase(static_cast<unsigned char>(p[pi])) !=
                             FoldAnsiCase(static_cast<unsigned char>(n[ni]))) return false;
    ++pi;
    ++ni;
  }
  return ni == n.size();
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

std::string WithoutTrailingSeparators(std::string path) {
  const std::size_t keep = std::max<std::size_t>(RootLength(path), 1);
  while (path.size() > keep && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string ParentFolder(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return "";
  std::string folder = WithoutTrailingSeparators(path.substr(0, slash));
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
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

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  return MatchFrom(pattern, 0, name, 0);
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string FoldedCase(std::string text) {
  for (char& c : text) c = static_cast<char>(FoldAnsiCase(static_cast<unsigned char>(c)));
  return text;
}

unsigned char FoldAnsiCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // s with caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z with caron
    case 0xFF: return 0x9F;  // y with diaeresis
    default: return c;
  }
}

std::string ComparableFolder(const std::string& path, const std::string& base) {
  const std::size_t first = path.find_first_not_of(" \t");
  const std::size_t last = path.find_last_not_of(" \t");
  std::string full = first == std::string::npos ? std::string() : path.substr(first, last - first + 1);
  for (char& c : full) {
    if (c == '/') c = '\\';
  }
  const std::size_t own_root = RootLength(full);
  if (own_root == 0) {
    full = base + "\\" + full;
  } else if (own_root == 1) {
    full = base.substr(0, RootLength(base)) + full;
  }
  const std::size_t root_length = RootLength(full);
  std::string root = full.substr(0, root_length);
  if (!root.empty() && root.back() != '\\') root += '\\';
  // The folder names below the root, with "." and ".." resolved.
  std::vector<std::string> names;
  std::size_t at = root_length;
  while (at <= full.size()) {
    std::size_t end = full.find('\\', at);
    if (end == std::string::npos) end = full.size();
    const std::string name = full.substr(at, end - at);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    at = end + 1;
  }
  std::string comparable = root;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) comparable += '\\';
    comparable += names[i];
  }
  for (char& c : comparable) c = static_cast<char>(FoldAnsiCase(static_cast<unsigned char>(c)));
  return comparable;
}

std::string Below(const std::string& folder, const std::string& name) {
  if (name.empty()) return folder;
  return folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + name;
}

}  // namespace scenery
