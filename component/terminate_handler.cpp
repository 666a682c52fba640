#include <cstdlib>

// The standard library's default terminate handler writes the exception's demangled type name
// to the standard error a DLL in a GUI host does not have, and brings its demangler, the
// largest part of the runtime left in the DLL. No exception leaves a COM method, so reaching
// terminate is a defect either way: end the process as the default does, without the text.
namespace __gnu_cxx {
void __verbose_terminate_handler();
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
