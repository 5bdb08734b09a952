// Numeric object identifiers: checked and encoded arc by arc.
#include "lyrutil/object_identifier.hpp"

#include <cstdint>
#include <vector>

namespace lyrdua::util {
namespace {

// Arcs are read into 64 bits; 19 digits always fit.
constexpr size_t kMaxArcDigits = 19;

bool split_arcs(std::string_view text, std::vector<std::string_view> *arcs) {
  arcs->clear();
  size_t start = 0;
  for (;;) {
    size_t dot = text.find('.', start);
    std::string_view arc = text.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (arc.empty()) return false;
    for (char c : arc)
      if (c < '0' || c > '9') return false;
    if (arc.size() > 1 && arc[0] == '0') return false;
    arcs->push_back(arc);
    if (dot == std::string_view::npos) return arcs->size() >= 2;
    start = dot + 1;
  }
}

uint64_t arc_value(std::string_view arc) {
  uint64_t value = 0;
  for (char c : arc) value = value * 10 + static_cast<uint64_t>(c - '0');
  return value;
}

void append_subidentifier(uint64_t value, std::string *contents) {
  char groups[10];
  size_t n = 0;
  do {
    groups[n++] = static_cast<char>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (n > 1) contents->push_back(static_cast<char>(groups[--n] | 0x80));
  contents->push_back(groups[0]);
}

bool first_arcs_valid(uint64_t first, uint64_t second) {
  return first <= 2 && (first == 2 || second < 40);
}

}  // namespace

bool oid_contents(std::string_view text, std::string *contents, std::string *problem) {
  std::vector<std::string_view> arcs;
  if (!split_arcs(text, &arcs)) {
    *problem = "'" + std::string(text) + "' is not a numeric object identifier";
    return false;
  }
  for (std::string_view arc : arcs) {
    if (arc.size() > kMaxArcDigits) {
      *problem = "arc " + std::string(arc) + " of " + std::string(text) + " is too large";
      return false;
    }
  }
  uint64_t first = arc_value(arcs[0]);
  uint64_t second = arc_value(arcs[1]);
  if (!first_arcs_valid(first, second) || (first == 2 && second > UINT64_MAX - 80)) {
    *problem = "'" + std::string(text) + "' is not a valid object identifier";
    return false;
  }
  contents->clear();
  append_subidentifier(first * 40 + second, contents);
  for (size_t i = 2; i < arcs.size(); ++i) append_subidentifier(arc_value(arcs[i]), contents);
  return true;
}

}  // namespace lyrdua::util
