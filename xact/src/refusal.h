// Builds the failed XactCheckResult that names what a file does wrong.
#pragma once
#include <cstdarg>
#include <cstdio>

#include "xact/xact_validator.h"

namespace orvante::xact {

__attribute__((format(printf, 1, 2))) inline XactCheckResult Refuse(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return common::Fail(text);
}

inline XactCheckResult Accept() { return {}; }

}  // namespace orvante::xact
