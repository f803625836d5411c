#pragma once

// The system's font configuration (some fifty XML files and a cache for every
// font folder) is read the first time any text is measured, and that takes
// a few milliseconds of start-up. Read on a thread of its own while the
// application connects to the display, it is ready when the window is built.

#include <thread>

class FontConfigurationReader
{
  public:
    FontConfigurationReader();
    ~FontConfigurationReader();
    FontConfigurationReader(const FontConfigurationReader&) = delete;
    FontConfigurationReader& operator=(const FontConfigurationReader&) = delete;

    // Returns once the configuration is read. Reading it twice at once is
    // safe but wasted, so the window is built after this.
    void wait();

  private:
    std::thread m_reading;
};
