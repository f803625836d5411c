// The settings reader on arbitrary bytes: it must never crash, and whatever it
// makes of them must survive being written and read back.

#include "settings/settingsfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

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
    const Settings loaded = settingsfile::interpret(settingsfile::parse(bytes));
    require(loaded.progressive >= 0 && loaded.progressive <= 2);
    const std::optional<int> slider = loaded.sliderValue();
    require(!slider || (*slider >= 0 && *slider <= 100));
    // The position is read as a pair or not at all.
    require(loaded.winleft.has_value() == loaded.wintop.has_value());

    const Settings again =
        settingsfile::interpret(settingsfile::parse(settingsfile::format(loaded)));
    require(again.quality == expectedBack(loaded.quality));
    require(again.progressive == loaded.progressive);
    require(again.picpath == expectedBack(loaded.picpath));
    require(again.savefolder == expectedBack(loaded.savefolder));
    require(again.winleft.has_value() && again.wintop.has_value());
    return 0;
}
