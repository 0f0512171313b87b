// Server and directx pixmaps on surfaces of the x11 backend.
#include <gtest/gtest.h>

#include "../pxmap_surface_checks.h"
#include "support/test_support.h"

namespace {

TEST(PxmapSurfacesX11, SameResultsAsHeadless) {
  if (!kivo::test::use_x11_or_skip()) GTEST_SKIP() << "no X server";
  kivo::test::check_surface_pixmaps();
}

}  // namespace
