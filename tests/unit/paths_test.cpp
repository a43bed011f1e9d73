#include "engine/paths.h"

#include <gtest/gtest.h>

namespace scenery {
namespace {

TEST(Paths, RootLength) {
  const struct {
    const char* path;
    std::size_t root;
  } cases[] = {
      {"C:\\", 3},           {"C:\\Games\\Fly", 3}, {"c:", 2},
      {"C:Games", 2},        {"\\Games", 1},        {"Games\\Fly", 0},
      {"", 0},               {"\\\\server\\share\\Games", 15},
      {"\\\\server\\share", 14}, {"\\\\server", 8},
  };
  for (const auto& c : cases) EXPECT_EQ(RootLength(c.path), c.root) << c.path;
}

TEST(Paths, TrailingSeparatorsAndParentFolders) {
  const struct {
    const char* path;
    const char* trimmed;
    const char* parent;
  } cases[] = {
      {"C:\\Games\\\\", "C:\\Games", "C:\\Games"},
      {"C:\\scenery.cfg", "C:\\scenery.cfg", "C:\\"},
      {"C:\\", "C:\\", "C:\\"},
      {"C:\\FS2000\\\\scenery.cfg", "C:\\FS2000\\\\scenery.cfg", "C:\\FS2000"},
      {"\\\\srv\\share\\", "\\\\srv\\share\\", "\\\\srv\\share"},
      {"pkg/", "pkg", ""},
      {"/", "/", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithoutTrailingSeparators(c.path), c.trimmed) << c.path;
    EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
  }
}

TEST(Paths, FullPaths) {
  for (const char* path : {"C:\\", "d:\\FS2000", "\\\\server\\share", "\\\\srv\\sh\\x"}) {
    EXPECT_TRUE(IsFullPath(path)) << path;
  }
  for (const char* path : {"", "C:", "C:FS2000", "\\FS2000", "FS2000", "\\\\", "\\\\server",
                           "\\\\server\\", "\\\\\\share", "1:\\x"}) {
    EXPECT_FALSE(IsFullPath(path)) << path;
  }
}

TEST(Paths, ForbiddenCharacters) {
  for (const char* path : {"C:\\a*b", "C:\\a?", "C:\\\"x\"", "C:\\<x>", "C:\\a|b",
                           "C:\\a:b", "C::\\x", "C:\\tab\there"}) {
    EXPECT_TRUE(HasForbiddenPathCharacters(path)) << path;
  }
  for (const char* path : {"C:\\Program Files\\FS 2000", "\\\\srv\\share\\a b", "D:\\\xE9t\xE9",
                           "C:\\a.b\\c-d_(e)"}) {
    EXPECT_FALSE(HasForbiddenPathCharacters(path)) << path;
  }
}

}  // namespace
}  // namespace scenery
