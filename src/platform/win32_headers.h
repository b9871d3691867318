#pragma once
// <windows.h> for the Windows layer and its tests, without the macros that would rename the
// program's own names (SetCurrentDirectory is a member of SystemApi, min and max are
// std::min and std::max).

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <winnetwk.h>

#undef SetCurrentDirectory
