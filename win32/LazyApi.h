#pragma once
// Functions of system libraries that only some runs need, resolved on first
// use: a library imported by the program costs every start of it, run mode's
// included, its load time.

#include <windows.h>

// The function of that name in that system library, or null.
template <class Fn> Fn LazyProc(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryA(library); // stays loaded for the process
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}
