// The text clipboard over the port's Clipboard service, with the
// conversion between code page 1252 and UTF-8.
#include "toolkit/core/clipboard.h"

#include <cstdint>
#include <string>

#include "toolkit/core/codepage.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clipboard.h"

namespace {

// Decodes one UTF-8 character at text[i]; false if the bytes there are not
// well-formed UTF-8.
bool next_utf8(const std::string& text, size_t& i, uint32_t& c) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char b = byte(i);
  int extra;
  if (b < 0x80) {
    c = b;
    ++i;
    return true;
  } else if ((b & 0xE0) == 0xC0) {
    extra = 1;
    c = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2;
    c = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3;
    c = b & 0x07;
  } else {
    return false;
  }
  if (i + size_t(extra) >= text.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    unsigned char next = byte(i + size_t(k));
    if ((next & 0xC0) != 0x80) return false;
    c = (c << 6) | (next & 0x3F);
  }
  static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  i += size_t(extra) + 1;
  return true;
}

bool is_utf8_with_high_characters(const std::string& text) {
  bool high = false;
  for (size_t i = 0; i < text.size();) {
    uint32_t c;
    if (!next_utf8(text, i, c)) return false;
    high = high || c >= 0x80;
  }
  return high;
}

std::string to_utf8(const std::string& text) {
  if (is_utf8_with_high_characters(text)) return text;
  std::string out;
  for (unsigned char b : text) kivo::core::append_utf8(out, kivo::core::cp1252_to_unicode(b));
  return out;
}

std::string from_utf8(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    uint32_t c;
    if (!next_utf8(text, i, c)) {  // not UTF-8: one byte as it is
      out += text[i++];
      continue;
    }
    const int code = kivo::core::unicode_to_cp1252(c);
    out += code < 0 ? '?' : char(code);
  }
  return out;
}

std::string g_last;  // the last text read, handed out by kvclipboard_get

}  // namespace

void kvclipboard_set(const char* text) {
  std::string t(text ? text : "");
  if (t.find('\r') == std::string::npos) {
    std::string crlf;
    for (char c : t) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    t.swap(crlf);
  }
  kivo::port::backend().clipboard().set_text(to_utf8(t));
}

const char* kvclipboard_get() {
  std::string utf8;
  if (!kivo::port::backend().clipboard().get_text(utf8)) {
    g_last.clear();
    return nullptr;
  }
  g_last = from_utf8(utf8);
  return g_last.c_str();
}
