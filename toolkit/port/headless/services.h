// Factories of the headless backend's port services; each is a thin front
// end of the virtual desktop.
#pragma once

#include <memory>

#include "toolkit/port/cursors.h"
#include "toolkit/port/desktop.h"
#include "toolkit/port/monitors.h"
#include "toolkit/port/synthetic_input.h"
#include "toolkit/port/tray.h"
#include "toolkit/port/windows.h"

namespace kivo::port::headless {

class HeadlessClock;
class VirtualDesktop;

std::unique_ptr<Windows> make_windows(VirtualDesktop& desktop);
std::unique_ptr<Desktop> make_desktop(VirtualDesktop& desktop);
std::unique_ptr<Monitors> make_monitors(VirtualDesktop& desktop, HeadlessClock& clock);
std::unique_ptr<Tray> make_tray(VirtualDesktop& desktop);
std::unique_ptr<Cursors> make_cursors(VirtualDesktop& desktop);
std::unique_ptr<SyntheticInput> make_synthetic_input(VirtualDesktop& desktop);

}  // namespace kivo::port::headless
