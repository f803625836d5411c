#include "settings/settings.h"

#include "settings/settingsfile.h"
#include "units/twips.h"

std::optional<int> Settings::sliderValue() const
{
    const std::optional<double> number = settingsfile::toNumber(quality);
    const std::optional<std::int32_t> whole = number ? twips::toInt32(*number) : std::nullopt;
    if (!whole || *whole < 0 || *whole > 100)
        return std::nullopt;
    return *whole;
}
