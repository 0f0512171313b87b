// Operating-system services shared by the Linux backends (x11 and headless):
// everything that does not depend on the window system.
#pragma once

#include <memory>

#include "toolkit/port/clock.h"
#include "toolkit/port/http.h"
#include "toolkit/port/picture_decoder.h"
#include "toolkit/port/processes.h"
#include "toolkit/port/registry.h"
#include "toolkit/port/shell.h"
#include "toolkit/port/system_fonts.h"
#include "toolkit/port/system_info.h"

namespace kivo::port {

std::unique_ptr<Clock> make_posix_clock();
std::unique_ptr<Http> make_posix_http();
std::unique_ptr<Registry> make_posix_registry();
std::unique_ptr<Shell> make_posix_shell();
std::unique_ptr<Processes> make_posix_processes();
std::unique_ptr<PictureDecoder> make_posix_picture_decoder();
std::unique_ptr<SystemFonts> make_posix_system_fonts();
std::unique_ptr<SystemInfo> make_posix_system_info();

}  // namespace kivo::port
