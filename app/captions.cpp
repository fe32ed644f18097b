#include "app/captions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "app/errors.h"

namespace qvl {

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
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) throw TypeMismatch();
  return negative ? -value : value;
}

}  // namespace qvl
