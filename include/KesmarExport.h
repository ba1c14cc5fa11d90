// Symbol visibility for the shared library. The library is built with hidden visibility, so
// only classes and functions marked KESMAR_API are exported.
#pragma once

#if defined(_WIN32)
#if defined(KESMAR_BUILDING_LIBRARY)
#define KESMAR_API __declspec(dllexport)
#else
#define KESMAR_API __declspec(dllimport)
#endif
#else
#define KESMAR_API __attribute__((visibility("default")))
#endif
