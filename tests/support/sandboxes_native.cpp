#include "tests/support/sandbox.h"

namespace scenery {

std::vector<SandboxKind> AvailableSandboxes() {
  return {SandboxKind{"Memory", [] { return MakeMemorySandbox(); }}};
}

}  // namespace scenery
