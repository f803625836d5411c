#include "toolkit/builtinpictures.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QProxyStyle>
#include <QWidget>

QImage builtInPicture(const QString& path)
{
    // With the format named and detection off, only a plugin made for that
    // format would be asked, and none is for PNG or BMP.
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon builtInIcon(const QString& path)
{
    return QIcon(QPixmap::fromImage(builtInPicture(path)));
}

namespace {

// The style in force, but for the menu bar's extension button, whose picture
// every menu bar asks for when it is made.
class BuiltInPictureStyle : public QProxyStyle
{
  public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override
    {
        const bool leftToRight = (widget ? widget->layoutDirection()
                                         : QGuiApplication::layoutDirection()) == Qt::LeftToRight;
        if (which == SP_ToolBarHorizontalExtensionButton && leftToRight) {
            QIcon icon;
            for (int size : {8, 16, 32}) {
                const QImage picture = builtInPicture(
                    QStringLiteral(
                        ":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-%1.png")
                        .arg(size));
                if (!picture.isNull())
                    icon.addPixmap(QPixmap::fromImage(picture));
            }
            if (!icon.isNull())
                return icon;
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

void useBuiltInStylePictures(QApplication& application)
{
    application.setStyle(new BuiltInPictureStyle);
}
