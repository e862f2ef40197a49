#pragma once

// Shared by the two files of interposed C library functions. Each is
// compiled without _FORTIFY_SOURCE, whose inline wrappers would clash with
// our definitions of the same names.

#include <cerrno>
#include <new>

#include "libc_next.h"

// Only the interposed functions leave the library; everything else is hidden.
#define FAKEUVC_EXPORT extern "C" __attribute__((visibility("default")))

namespace fakeuvc {

// The C library's next definition of the function we are in, looked up once.
template <typename Function>
Function* nextDefinition(const char* name) {
  return reinterpret_cast<Function*>(libc::next(name));
}

#define FAKEUVC_NEXT(name)                                                          \
  ([] {                                                                             \
    static auto* const function = ::fakeuvc::nextDefinition<decltype(name)>(#name); \
    return function;                                                                \
  }())

// A C caller must never see a C++ exception: running out of memory inside
// the fake device becomes ENOMEM.
template <typename Body>
int failingWithErrno(Body&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
  } catch (...) {
    errno = EIO;
  }
  return -1;
}

}  // namespace fakeuvc
