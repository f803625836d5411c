#include "input/loadmessages.h"

#include <QLocale>
#include <cerrno>
#include <cmath>

namespace {

QString mebibytes(std::int64_t bytes)
{
    const double mib = double(bytes) / (1024.0 * 1024.0);
    return QStringLiteral("%1 MiB").arg(QLocale::c().toString(std::ceil(mib), 'f', 0));
}

} // namespace

namespace loadmessages {

QString notAPicture()
{
    return QStringLiteral("画像ファイルではありません");
}

QString cutShort()
{
    return QStringLiteral("ファイルが途中で切れています");
}

QString damaged()
{
    return QStringLiteral("画像のデータが壊れています");
}

QString outOfMemory()
{
    return QStringLiteral("メモリが足りません");
}

QString notRegularFile()
{
    return QStringLiteral("通常のファイルではありません");
}

QString unsupportedKind(const QString& kind)
{
    return QStringLiteral("この種類の画像には対応していません（%1）").arg(kind);
}

QString tooManyScans(int limit)
{
    return QStringLiteral("プログレッシブJPEGのスキャンが %1 を超えています").arg(limit);
}

QString tooLarge(std::int64_t width, std::int64_t height, std::int64_t neededBytes,
                 std::int64_t availableBytes)
{
    return QStringLiteral("大きすぎます: %1 x %2 ピクセル\n"
                          "開くには %3 のメモリが要りますが、今使えるのは %4 までです")
        .arg(width)
        .arg(height)
        .arg(mebibytes(neededBytes), mebibytes(std::max<std::int64_t>(0, availableBytes)));
}

QString fromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("ファイルが見つかりません");
    case ENOTDIR:
        return QStringLiteral("ファイルが見つかりません（途中のフォルダーがありません）");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています");
    case EACCES:
    case EPERM:
        return QStringLiteral("読み取る権限がありません");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます");
    case EISDIR:
        return notRegularFile();
    case ENOMEM:
        return outOfMemory();
    case EIO:
        return QStringLiteral("ディスクから読み取れません（入出力エラー）");
    default:
        return QStringLiteral("読み込めません（エラー番号 %1）").arg(error);
    }
}

} // namespace loadmessages
