// Date and time helpers.
#include <ctime>
#include <mutex>

#include "toolkit/core/environment.h"
#include "toolkit/port/backend.h"
#include "toolkit/port/clock.h"

namespace kivo::core {

LocalTime local_time_now() {
  // std::localtime shares one static buffer; the lock makes the copy safe
  // when the log is written from more than one thread.
  static std::mutex mutex;
  std::time_t now = std::time(nullptr);
  std::lock_guard lock(mutex);
  const std::tm* tm = std::localtime(&now);
  if (!tm) return {1970, 1, 1, 0, 0, 0, 4};
  return {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec, tm->tm_wday};
}

}  // namespace kivo::core

int kvyear() { return kivo::core::local_time_now().year; }
int kvmonth() { return kivo::core::local_time_now().month; }
int kvday() { return kivo::core::local_time_now().day; }
int kvhour() { return kivo::core::local_time_now().hour; }
int kvminute() { return kivo::core::local_time_now().minute; }
int kvsecond() { return kivo::core::local_time_now().second; }

int64_t kvmillis() { return kivo::port::backend().clock().now_ms(); }
int kvmillipart() { return int(kvmillis() % 1000); }

bool kvleapyear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

int kvdaynumber(int year, int month, int day) {
  int n = day + (month * 3057 - 3007) / 100;
  if (month > 2) n -= kvleapyear(year) ? 1 : 2;
  const int y = year - 1;
  return n + 365 * y + y / 4 - y / 100 + y / 400;
}
