// Functions of system libraries bound by name at their first call, so that
// the program loads nothing at start that it may never use.
#pragma once

#include <string>

#include "app/errors.h"
#include "app/win32/winapi.h"

namespace qvl {

template <class Fn>
Fn Bind(const wchar_t* library, const char* function) {
  HMODULE module = LoadLibraryW(library);
  FARPROC proc = module ? GetProcAddress(module, function) : nullptr;
  if (!proc) throw RuntimeError(453, "Can't find DLL entry point " + std::string(function));
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

// COM, apartment-threaded, for the UI thread: the shell and the
// accessibility objects need it. Done once, when first needed.
void InitialiseComForThread();

}  // namespace qvl
