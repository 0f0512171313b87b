// The machinery behind the keyword-group parsers: a group is a table of rules
// (keywords with their synonyms, the kind of value and where it goes), and
// one walk over the tokens serves every group.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "toolkit/core/cfgstr.h"

namespace kivo::cfgstr {

// What a matched keyword does with its value.
enum class Kind : unsigned char {
  Set,     // bool = true
  Clear,   // bool = false
  Const,   // int = the rule's constant
  Int,     // int = kvcfgstr_int(value)
  Real,    // double = kvcfgstr_real(value)
  Colour,  // int = kvcfgstr_color(value), unchanged when unusable
  Text,    // string = value
  List,    // vector = kvcfgstr_list(value)
  Hotkey,  // int = kvcfgstr_hotkey(value)
  Custom,  // the rule's function(out, value)
  Keep,    // recognised, but neither applied nor consumed
};

template <class Out>
using Field = std::variant<std::monostate, bool Out::*, int Out::*, double Out::*,
                           std::string Out::*, std::vector<std::string> Out::*>;

template <class Out>
struct Rule {
  // Synonyms separated by '/', in lower case; a keyword ending in '=' takes
  // the rest of the token as its value, any other must equal the token.
  const char* keywords;
  Kind kind;
  Field<Out> field{};
  int constant = 0;
  void (*custom)(Out&, std::string_view value) = nullptr;
  bool ends_scan = false;  // the group's walk stops after this rule matched
};

// Shorthands for the tables.
template <class Out>
constexpr Rule<Out> set(const char* k, bool Out::*f) { return {k, Kind::Set, f}; }
template <class Out>
constexpr Rule<Out> clear(const char* k, bool Out::*f) { return {k, Kind::Clear, f}; }
template <class Out>
constexpr Rule<Out> constant(const char* k, int Out::*f, int c) { return {k, Kind::Const, f, c}; }
template <class Out>
constexpr Rule<Out> integer(const char* k, int Out::*f) { return {k, Kind::Int, f}; }
template <class Out>
constexpr Rule<Out> real(const char* k, double Out::*f) { return {k, Kind::Real, f}; }
template <class Out>
constexpr Rule<Out> colour(const char* k, int Out::*f) { return {k, Kind::Colour, f}; }
template <class Out>
constexpr Rule<Out> text(const char* k, std::string Out::*f) { return {k, Kind::Text, f}; }
template <class Out>
constexpr Rule<Out> list(const char* k, std::vector<std::string> Out::*f) { return {k, Kind::List, f}; }
template <class Out>
constexpr Rule<Out> hotkey(const char* k, int Out::*f) { return {k, Kind::Hotkey, f}; }
template <class Out>
constexpr Rule<Out> custom(const char* k, void (*fn)(Out&, std::string_view)) {
  return {k, Kind::Custom, {}, 0, fn};
}
template <class Out>
constexpr Rule<Out> keep(const char* k) { return {k, Kind::Keep}; }

// How a whole group walks.
struct Walk {
  bool first_match_only = false;  // later matching tokens are consumed without effect
  bool all_prefix = false;        // every keyword matches by prefix (geometry)
  int max_items = 0;              // limit of List values (0: none)
};

// A token as the rules see it.
struct Prepared {
  std::string text;   // blanks and tabs removed, case kept (at most kvcfgstr_max_text)
  std::string lower;  // text in ASCII lower case
};
void prepare(std::string_view raw, Prepared& p);

// Matches one rule's keywords against a prepared token; on success stores
// the value: for prefix keywords the rest of the stripped token, or, for the
// keywords whose texts keep their blanks, everything after the first '=' of
// the raw token.
bool match(const char* keywords, bool all_prefix, std::string_view raw, const Prepared& p,
           std::string_view& value);

// The value without blanks and tabs (numbers of keywords that also name a
// text elsewhere, such as tabs=, arrive as written).
std::string without_blanks(std::string_view value);

template <class Out>
void apply(const Rule<Out>& rule, const std::string& value, Out& out, const Walk& how) {
  auto as = [&](auto member) -> auto& { return out.*std::get<decltype(member)>(rule.field); };
  switch (rule.kind) {
    case Kind::Set: as((bool Out::*){}) = true; break;
    case Kind::Clear: as((bool Out::*){}) = false; break;
    case Kind::Const: as((int Out::*){}) = rule.constant; break;
    case Kind::Int: as((int Out::*){}) = kvcfgstr_int(without_blanks(value)); break;
    case Kind::Real: as((double Out::*){}) = kvcfgstr_real(without_blanks(value)); break;
    case Kind::Colour: kvcfgstr_color(without_blanks(value), as((int Out::*){})); break;
    case Kind::Text: as((std::string Out::*){}) = value; break;
    case Kind::List: kvcfgstr_list(value, as((std::vector<std::string> Out::*){}), how.max_items); break;
    case Kind::Hotkey: as((int Out::*){}) = kvcfgstr_hotkey(without_blanks(value)); break;
    case Kind::Custom: rule.custom(out, value); break;
    case Kind::Keep: break;
  }
}

// Walks the tokens from start on and applies the first matching rule of each
// token; returns how many tokens matched.
template <class Out>
int walk(kvcfgstr_tokens& t, int start, const Rule<Out>* rules, std::size_t count, Out& out,
         Walk how = {}) {
  int matched = 0;
  Prepared p;
  for (std::size_t i = start < 0 ? 0 : static_cast<std::size_t>(start); i < t.size(); ++i) {
    if (t[i].empty()) continue;
    prepare(t[i], p);
    for (std::size_t r = 0; r < count; ++r) {
      const Rule<Out>& rule = rules[r];
      std::string_view value;
      if (!match(rule.keywords, how.all_prefix, t[i], p, value)) continue;
      if (rule.kind == Kind::Keep) break;
      if (!how.first_match_only || matched == 0) {
        std::string owned(value);  // value points into the token about to be consumed
        t[i].clear();
        apply(rule, owned, out, how);
      } else {
        t[i].clear();
      }
      ++matched;
      if (rule.ends_scan) return matched;
      break;
    }
  }
  return matched;
}

template <class Out, std::size_t N>
int walk(kvcfgstr_tokens& t, int start, const Rule<Out> (&rules)[N], Out& out, Walk how = {}) {
  return walk(t, start, rules, N, out, how);
}

// A single value as a record, for the groups that fill one variable.
template <class T>
struct One {
  T value;
};

}  // namespace kivo::cfgstr
