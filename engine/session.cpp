#include "engine/session.h"

#include "engine/paths.h"

namespace scenery {

std::vector<std::string> ProgramsIn(const std::vector<std::string>& running,
                                    const std::string& folder) {
  const std::string wanted = ComparableFolder(folder, "");
  std::vector<std::string> inside;
  for (const std::string& program : running) {
    if (program.find('\\') != std::string::npos &&
        ComparableFolder(ParentFolder(program), "") == wanted) {
      inside.push_back(program);
    }
  }
  return inside;
}

}  // namespace scenery
