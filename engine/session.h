// What the installation and the removal ask of the Windows session they run
// in: which programs run now, and where Windows keeps the copies of
// protected files that programs of FS 2000's time wrote for the user.
#ifndef SCENERY_SETUP_ENGINE_SESSION_H_
#define SCENERY_SETUP_ENGINE_SESSION_H_

#include <string>
#include <vector>

namespace scenery {

class Session {
 public:
  virtual ~Session() = default;
  // The full paths of the programs that run now, this one left out, and
  // those whose path the system does not tell. Never throws.
  virtual std::vector<std::string> RunningPrograms() = 0;
  // The VirtualStore folder of the user whose desktop this program runs on
  // ("C:\Users\Anna\AppData\Local\VirtualStore"): Windows Vista and later
  // give a program without a manifest, which FS 2000 is, the copy there of
  // a protected file it once wrote, in place of the file itself. Empty
  // where the system cannot tell it. Never throws.
  virtual std::string VirtualStore() = 0;
  // The drive Windows runs from ("C:"): only its files have copies in the
  // VirtualStore. Never throws.
  virtual std::string SystemDrive() = 0;
};

// The programs of `running` that lie in `folder` itself (compared as
// Windows compares paths): the simulator's own executable, or a tool of
// it, which may write scenery.cfg.
std::vector<std::string> ProgramsIn(const std::vector<std::string>& running,
                                    const std::string& folder);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_SESSION_H_
