#include "toolkit/core/textrot.h"

namespace {

char rot13(char c) {
  if (c >= 'a' && c <= 'z') return char('a' + (c - 'a' + 13) % 26);
  if (c >= 'A' && c <= 'Z') return char('A' + (c - 'A' + 13) % 26);
  return c;
}

char rot18(char c) {
  if (c >= '0' && c <= '9') return char('0' + (c - '0' + 5) % 10);
  return rot13(c);
}

}  // namespace

void kvrot13(char* text) {
  for (char* p = text; p && *p; ++p) *p = rot13(*p);
}
void kvrot13(std::string& text) {
  for (char& c : text) c = rot13(c);
}
void kvrot18(char* text) {
  for (char* p = text; p && *p; ++p) *p = rot18(*p);
}
void kvrot18(std::string& text) {
  for (char& c : text) c = rot18(c);
}
