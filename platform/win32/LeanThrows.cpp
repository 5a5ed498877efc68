// Win32 only: the functions through which the standard library's containers and strings throw,
// in the shipped programs. libstdc++'s own build std::length_error, std::out_of_range and
// std::logic_error, whose reference-counted message strings bring about 80 KB of the library's
// older string code into each static executable. These throw a plain std::exception with the
// same text: the programs catch the library's faults as std::exception, never by their type.
#include <exception>
#include <new>

namespace {

class LibraryFault final : public std::exception {
 public:
  explicit LibraryFault(const char* text) : text_(text) {}
  const char* what() const noexcept override { return text_; }

 private:
  const char* text_;  // the library's own literal
};

}  // namespace

// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl58-cpp): replace libstdc++'s definitions at link time
namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* text) { throw LibraryFault(text); }
void __throw_logic_error(const char* text) { throw LibraryFault(text); }
// The format's arguments (positions and sizes) are left out: the text names the call.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryFault(format); }

}  // namespace std
// NOLINTEND(bugprone-reserved-identifier,cert-dcl58-cpp)
