// The C++ runtime's default terminate handler prints the uncaught exception's
// demangled type name to a console that a GUI program does not have, and
// pulls the whole demangler (about 50 KiB) into the static Setup.exe for it.
// Every failure of the installer is caught and reported at the window
// procedure boundary, so terminate only ever has to end the process.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
