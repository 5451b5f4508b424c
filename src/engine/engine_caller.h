// What the engine asks of whoever drives it: the installing page and the
// shortcuts dialog show the work on their bars, the tests nowhere. The
// engine never shows a window; its failures come back as values.
#pragma once
#include <cstdint>

class EngineCaller {
  public:
    // The work's size before its first step: the units that progressed()
    // counts (bytes of the files, or one per shortcut) and the steps.
    virtual void workStarted(uint32_t units, int steps) = 0;
    // A step begins: the file or shortcut it makes, as the user reads it.
    virtual void stepStarted(int step, const char* shown) = 0;
    virtual void progressed(uint32_t units) = 0;
    // The pauses that let the user follow the work on screen.
    virtual void pause(uint32_t milliseconds) = 0;
    // Another program has the file open: true to look again once the user
    // has closed it, false to stop with nothing changed.
    virtual bool retryFileInUse(const char* path) = 0;

  protected:
    ~EngineCaller() = default;
};
