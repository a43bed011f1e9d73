// Setup.exe runs with administrator rights from wherever the user saved it,
// most often a download folder where anything may lie beside it. Windows
// looks for a library in the program's folder first unless it is one of the
// system's known libraries, so the program imports at load time only those
// (kernel32, user32, gdi32, msvcrt) and takes every other library from the
// system folder, by full path or after the search has been narrowed to it.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_SYSTEM_LIBRARIES_H_
#define SCENERY_SETUP_PLATFORM_WIN32_SYSTEM_LIBRARIES_H_

namespace scenery {

// First thing in WinMain: narrows the search for libraries to the system
// folder where the system can (Windows 8 and later, 7 and Vista with
// KB2533623). Where it cannot, takes the current folder out of the search
// and loads by full path from the system folder the libraries that system
// libraries load by name on their own.
void RestrictLibrarySearch();

// The address of FUNCTION in the system library LIBRARY ("version.dll"),
// loaded from the system folder; nullptr when either is missing.
void* SystemFunction(const wchar_t* library, const char* function);

// Registers the standard control classes of the common controls, version 6
// (themed), which the program's manifest names. Windows takes that library
// from its side-by-side store by the manifest, before any search.
void InitThemedControls();

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_SYSTEM_LIBRARIES_H_
