// The floors' pace: one frame every 50 ms, as the saver's tick.
#pragma once

#include <time.h>

inline void SleepToNextTick(timespec* next) {
  next->tv_nsec += 50000000;
  if (next->tv_nsec >= 1000000000) {
    next->tv_nsec -= 1000000000;
    ++next->tv_sec;
  }
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, next, nullptr);
}
