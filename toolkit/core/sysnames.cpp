// User and computer names, and the pointer shape, over the port services.
#include "toolkit/core/sysnames.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "toolkit/port/backend.h"
#include "toolkit/port/cursors.h"
#include "toolkit/port/system_info.h"

namespace {

constexpr size_t kNameMax = 999;

std::string bounded(std::string name) {
  if (name.size() > kNameMax) name.resize(kNameMax);
  return name;
}

const char* hand_out(const std::string& name, std::string* out) {
  if (out) *out = name;
  return name.c_str();
}

bool same_nocase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

}  // namespace

const char* kvusername(std::string* out) {
  static const std::string name = bounded(kivo::port::backend().system_info().user_name());
  return hand_out(name, out);
}

const char* kvcomputername(std::string* out) {
  static const std::string name = bounded(kivo::port::backend().system_info().computer_name());
  return hand_out(name, out);
}

void kvsetcursor(const char* name) {
  using kivo::port::PointerShape;
  static const struct {
    const char* name;
    PointerShape shape;
  } kShapes[] = {{"hand", PointerShape::Hand},   {"standard", PointerShape::Arrow}, {"ibeam", PointerShape::IBeam},
                 {"wait", PointerShape::Wait},   {"cross", PointerShape::Cross}};
  if (!name) return;
  for (const auto& s : kShapes)
    if (same_nocase(name, s.name)) {
      kivo::port::backend().cursors().set(s.shape);
      return;
    }
  std::printf("kvsetcursor: unknown cursor %s\n", name);
}
