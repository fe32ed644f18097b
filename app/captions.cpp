#include "app/captions.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/errors.h"

namespace qvl {

namespace {

// Reads all of `text` as from_chars reads a decimal: digits with an optional
// point and fraction, then an optional exponent. Whole numbers, all that the
// countdown reads, ten times a second, go by the integer reading, which is
// exact and cheap; floating-point from_chars costs a locale switch on some C
// libraries, and Emscripten's C++ library has none (there the rest is
// checked against the same grammar and read by strtod, whose C library
// knows the C locale alone).
bool ReadDecimal(std::string_view text, double& value) {
  const char* const first = text.data();
  const char* const last = first + text.size();
  long long whole = 0;
  if (const auto [end, ec] = std::from_chars(first, last, whole);
      ec == std::errc() && end == last) {
    value = static_cast<double>(whole);
    return true;
  }
#if defined(__cpp_lib_to_chars)
  const auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last;
#else
  auto digits = [&](const char*& p) {
    const char* start = p;
    while (p != last && std::isdigit(static_cast<unsigned char>(*p))) ++p;
    return p - start;
  };
  const char* p = first;
  auto mantissa = digits(p);
  if (p != last && *p == '.') mantissa += digits(++p);
  if (mantissa == 0) return false;
  if (p != last && (*p == 'e' || *p == 'E')) {
    if (++p != last && (*p == '+' || *p == '-')) ++p;
    if (digits(p) == 0) return false;
  }
  if (p != last) return false;
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  value = std::strtod(copy.c_str(), &end);
  return errno == 0 && end == copy.c_str() + copy.size();
#endif
}

}  // namespace

std::string NumberToText(double value) {
  if (value == 0) return "0";  // also for -0
  char buf[32];
  // Whole numbers, all that the countdown writes, skip the C library's
  // floating-point formatting: it runs on every tick and is slow on some
  // runtimes.
  if (std::floor(value) == value && std::fabs(value) < 1e15) {
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value)).ptr;
    return std::string(buf, end);
  }
  std::snprintf(buf, sizeof buf, "%.15g", value);
  return buf;
}

const std::string& JoinInto(std::string& out, std::initializer_list<std::string_view> parts) {
  out.clear();
  for (std::string_view p : parts) out.append(p);
  return out;
}

double TextToNumber(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars would also take "inf" and "nan", which spell no number here.
  if (text.empty() ||
      !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) {
    throw TypeMismatch();
  }
  double value = 0;
  if (!ReadDecimal(text, value)) throw TypeMismatch();
  return negative ? -value : value;
}

}  // namespace qvl
