#include "toolkit/fontconfiguration.h"

#include <fontconfig/fontconfig.h>
#include <system_error>

FontConfigurationReader::FontConfigurationReader()
{
    // Qt's font database later asks fontconfig for the same configuration,
    // which it then finds already loaded.
    try {
        m_reading = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: the first text measured reads it instead.
    }
}

FontConfigurationReader::~FontConfigurationReader()
{
    wait();
}

void FontConfigurationReader::wait()
{
    if (m_reading.joinable())
        m_reading.join();
}
