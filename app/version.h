// The one place the program's version lives: the C++ code, the resource
// compiler and the build (for the packages) all read it.
#pragma once

#define QVL_VERSION_MAJOR 2
#define QVL_VERSION_MINOR 1
#define QVL_REVISION_PLAIN_FONT 1
#define QVL_REVISION_LCARS_FONT 0
