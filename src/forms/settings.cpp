// savesetting and loadsetting: the six values between the settings file and
// the options dialog's controls, the remembered paths and the stored position.

#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "settings/settingsfile.h"

#include <QLineEdit>
#include <QSlider>

void frmmain::savesetting()
{
    SettingsValues values;
    if (option) {
        values.quality = option->kaizoudo->text();
        values.progressive = option->proValue();
    }
    values.picpath = picpath;
    values.savefolder = savefolder;
    values.left = outerLeft();
    values.top = outerTop();
    // A failed write leaves the previous file as it was; only the write at
    // shut-down reports it (Form_Unload), the user's last chance to know.
    m_settingsUnwritten = !settingsfile::write(m_paths.settingsFile, values);
}

void frmmain::loadsetting()
{
    // The options dialog holds the two JPEG values for the whole run, so it
    // comes into being, hidden, the first time they are put in place.
    if (!option)
        option = new frmoption(*this);

    // A missing file reads like an empty one: every value takes its default.
    const SettingsRecords records =
        settingsfile::read(m_paths.settingsFile).value_or(SettingsRecords{});
    const LoadedSettings loaded = settingsfile::interpret(records);

    option->kaizoudo->setText(loaded.quality);
    // A quality the slider cannot take leaves it where it was.
    if (loaded.sliderValue)
        option->Slider1->setValue(*loaded.sliderValue);
    option->setProValue(loaded.progressive);
    picpath = loaded.picpath;
    savefolder = loaded.savefolder;

    hasStoredPosition = loaded.left.has_value() && loaded.top.has_value();
    winleft = hasStoredPosition ? *loaded.left : 0;
    wintop = hasStoredPosition ? *loaded.top : 0;
}
