// The C++ library throws its own errors (a string position out of range, a
// length past the largest) through these functions. Its versions build the
// standard exception classes, whose reference-counted strings bring another
// whole string implementation (about 45 KiB) into the static Setup.exe. In
// the installer they can only mean a fault of the program, which the window
// procedure boundary reports with what() and ends; so the same messages are
// thrown here as one small exception type. Running out of memory stays
// std::bad_alloc, which the wizard reports as such.
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryFault : public std::exception {
 public:
  explicit LibraryFault(const char* what) : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};

}  // namespace

namespace std {
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_bad_cast() { throw std::bad_cast(); }
void __throw_bad_typeid() { throw std::bad_typeid(); }
void __throw_bad_exception() { throw std::bad_exception(); }
void __throw_logic_error(const char* what) { throw LibraryFault(what); }
void __throw_domain_error(const char* what) { throw LibraryFault(what); }
void __throw_invalid_argument(const char* what) { throw LibraryFault(what); }
void __throw_length_error(const char* what) { throw LibraryFault(what); }
void __throw_out_of_range(const char* what) { throw LibraryFault(what); }
void __throw_out_of_range_fmt(const char* what, ...) { throw LibraryFault(what); }
void __throw_runtime_error(const char* what) { throw LibraryFault(what); }
void __throw_range_error(const char* what) { throw LibraryFault(what); }
void __throw_overflow_error(const char* what) { throw LibraryFault(what); }
void __throw_underflow_error(const char* what) { throw LibraryFault(what); }
}  // namespace std
