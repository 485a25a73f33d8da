// setenv and unsetenv for the tests built for Windows, whose C runtime has _putenv_s instead, and
// the user ids of the permission tests: no process there is root.
// The Windows build includes this ahead of every test source (tests/engine/engine_tests.cmake).
#pragma once

#if defined(_WIN32)
#include <stdlib.h>

inline int setenv(const char* name, const char* value, int overwrite)
{
    if (!overwrite && getenv(name) != nullptr)
        return 0;
    return _putenv_s(name, value);
}

// An empty value removes the variable.
inline int unsetenv(const char* name)
{
    return _putenv_s(name, "");
}

inline unsigned geteuid()
{
    return 1000;
}

inline int seteuid(unsigned)
{
    return -1;
}
#endif
