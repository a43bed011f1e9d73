// Included before every C++ source of the Windows build (CMakeLists.txt).
// The C++ library declares its std::string members as instantiated in the
// library itself; a static program then links the library's object of them
// whole, some 33 KB, most of which Setup.exe never calls. Without those
// declarations the compiler instantiates the members a source uses, and the
// linker keeps only those: the same code, 8 KB less of it.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
