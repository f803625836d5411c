// savesetting and loadsetting: the settings between the file and the program.
// The options dialog shows the settings as they are after each read.

#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "settings/settingsfile.h"
#include "toolkit/windowplacement.h"

void frmmain::savesetting()
{
    // Where the compositor keeps window positions to itself (Wayland), the
    // window's own read (0, 0): the stored position is kept as it was read.
    const bool keepStored =
        m_settings.winleft && m_settings.wintop && !windowplacement::platformPlacesWindows();
    if (!keepStored) {
        m_settings.winleft = static_cast<std::int32_t>(outerLeft());
        m_settings.wintop = static_cast<std::int32_t>(outerTop());
    }
    // A failed write leaves the previous file as it was; only the write at
    // shut-down reports it (Form_Unload), the user's last chance to know.
    m_settingsUnwritten = !settingsfile::write(m_paths.settingsFile, m_settings);
}

void frmmain::loadsetting()
{
    // A missing file reads like an empty one: every value takes its default.
    const SettingsRecords records =
        settingsfile::read(m_paths.settingsFile).value_or(SettingsRecords{});
    m_settings = settingsfile::interpret(records);
    option->showSettings();
}
