// Win32 only: the handler std::terminate calls in the shipped programs. libstdc++'s own
// handler prints the uncaught exception's demangled type to a console that a windowed program
// or a service does not have, and brings the whole demangler (about 45 KB) into each static
// executable. These programs throw nothing of their own; should the runtime ever terminate,
// ending at once is all that handler would have done after printing.
#include <cstdlib>

namespace __gnu_cxx {  // NOLINT: replaces libstdc++'s definition at link time, by its name

void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier)

}  // namespace __gnu_cxx
