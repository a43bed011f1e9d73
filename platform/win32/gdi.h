// What the Win32 windows share in drawing: the one conversion of layout
// units, the forms' colours as the system's, and a GDI object that deletes
// itself.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_GDI_H_
#define SCENERY_SETUP_PLATFORM_WIN32_GDI_H_

#include <windows.h>

#include "ui/forms/forms.h"

namespace scenery {

// Pixels = twips x DPI / 1440.
inline int Pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

inline COLORREF ToColorRef(const forms::Colour& colour) {
  if (colour.type == forms::Colour::Type::kRgb) return RGB(colour.red, colour.green, colour.blue);
  switch (colour.system) {
    case forms::SystemColour::kWindow: return GetSysColor(COLOR_WINDOW);
    case forms::SystemColour::kWindowText: return GetSysColor(COLOR_WINDOWTEXT);
    case forms::SystemColour::kActiveCaption: return GetSysColor(COLOR_ACTIVECAPTION);
    case forms::SystemColour::kActiveBorder: return GetSysColor(COLOR_ACTIVEBORDER);
  }
  return GetSysColor(COLOR_WINDOW);
}

// Owns one GDI object; deletes it on every way out of a scope.
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(HGDIOBJ object) : object_(object) {}
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  ~ScopedGdiObject() {
    if (object_ != nullptr) DeleteObject(object_);
  }
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_GDI_H_
