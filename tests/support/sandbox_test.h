// A GoogleTest fixture that runs each of its tests once on every file system
// implementation of the build, each time in a fresh sandbox.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_SANDBOX_TEST_H_
#define SCENERY_SETUP_TESTS_SUPPORT_SANDBOX_TEST_H_

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "tests/support/sandbox.h"

namespace scenery {

class OnEachFileSystem : public testing::TestWithParam<SandboxKind> {
 protected:
  void SetUp() override { box_ = GetParam().make(); }
  Sandbox& box() { return *box_; }
  FileSystem& fs() { return box_->fs(); }
  std::string root() const { return box_->root(); }

 private:
  std::unique_ptr<Sandbox> box_;
};

// Names the parameter in test listings and failure reports.
inline void PrintTo(const SandboxKind& kind, std::ostream* os) { *os << kind.name; }

inline std::string SandboxName(const testing::TestParamInfo<SandboxKind>& info) {
  return info.param.name;
}

}  // namespace scenery

#define INSTANTIATE_ON_EACH_FILE_SYSTEM(suite)                                      \
  INSTANTIATE_TEST_SUITE_P(FileSystems, suite,                                     \
                           testing::ValuesIn(::scenery::AvailableSandboxes()), \
                           ::scenery::SandboxName)

#endif  // SCENERY_SETUP_TESTS_SUPPORT_SANDBOX_TEST_H_
