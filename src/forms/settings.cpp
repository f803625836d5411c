// savesetting and loadsetting: the settings between the file and the program.
// The options dialog shows the settings as they are after each read.

#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "settings/settingsfile.h"
#include "units/twips.h"

void frmmain::savesetting()
{
    m_settings.winleft = static_cast<std::int32_t>(outerLeft());
    m_settings.wintop = static_cast<std::int32_t>(outerTop());
    // A failed write leaves the previous file as it was and is not reported.
    settingsfile::write(m_paths.settingsFile, m_settings);
}

void frmmain::loadsetting()
{
    // A missing file reads like an empty one: every value takes its default.
    const SettingsRecords records =
        settingsfile::read(m_paths.settingsFile).value_or(SettingsRecords{});
    m_settings = settingsfile::interpret(records);
    option->showSettings();
}
