// The settings reader on arbitrary bytes: it must never crash, and whatever it
// makes of them must survive being written and read back.

#include "settings/settingsfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A text the writer cannot quote is written empty, so that the records after it
// stay in their places.
QString expectedBack(const QString& text)
{
    const bool quotable = !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\r')) &&
                          !text.contains(QLatin1Char('\n')) &&
                          text.toUtf8().size() + 2 <= settingsfile::maxLineLength;
    return quotable ? text : QString();
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const LoadedSettings loaded = settingsfile::interpret(settingsfile::parse(bytes));
    require(loaded.progressive >= 0 && loaded.progressive <= 2);
    require(!loaded.sliderValue || (*loaded.sliderValue >= 0 && *loaded.sliderValue <= 100));

    SettingsValues values;
    values.quality = loaded.quality;
    values.progressive = loaded.progressive;
    values.picpath = loaded.picpath;
    values.savefolder = loaded.savefolder;
    values.left = static_cast<float>(loaded.left.value_or(0));
    values.top = static_cast<float>(loaded.top.value_or(0));
    const LoadedSettings again =
        settingsfile::interpret(settingsfile::parse(settingsfile::format(values)));
    require(again.quality == expectedBack(values.quality));
    require(again.progressive == values.progressive);
    require(again.picpath == expectedBack(values.picpath));
    require(again.savefolder == expectedBack(values.savefolder));
    require(again.left.has_value() && again.top.has_value());
    return 0;
}
