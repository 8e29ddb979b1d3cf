// CHECK for the fuzz targets: a broken property aborts, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace calbrin::fuzz {

inline void Check(bool condition, const char* file, int line) {
  if (!condition) {
    std::fprintf(stderr, "check failed at %s:%d\n", file, line);
    std::abort();
  }
}

}  // namespace calbrin::fuzz

#define CHECK(condition) ::calbrin::fuzz::Check((condition), __FILE__, __LINE__)
