#include "toolkit/builtinpictures.h"

#include <QApplication>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
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
    // Each window carries the program's icon: it is read once. The pictures
    // are kept, not the icons, whose pixmaps may not outlive the application.
    static QHash<QString, QImage> read;
    auto found = read.constFind(path);
    if (found == read.constEnd())
        found = read.insert(path, builtInPicture(path));
    return QIcon(QPixmap::fromImage(*found));
}

namespace {

// The menu bar's extension button shows only when the window is too narrow for
// its menus; its pictures are read the first time it is drawn, not when every
// menu bar is made.
class ExtensionButtonPictures : public QIconEngine
{
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        pictures().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pictures().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pictures().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return pictures().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new ExtensionButtonPictures(*this); }

  private:
    const QIcon& pictures()
    {
        if (m_pictures.isNull()) {
            for (int size : {8, 16, 32}) {
                const QImage picture = builtInPicture(
                    QStringLiteral(
                        ":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-%1.png")
                        .arg(size));
                if (!picture.isNull())
                    m_pictures.addPixmap(QPixmap::fromImage(picture));
            }
        }
        return m_pictures;
    }

    QIcon m_pictures;
};

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
        if (which == SP_ToolBarHorizontalExtensionButton && leftToRight)
            return QIcon(new ExtensionButtonPictures);
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

void useBuiltInStylePictures(QApplication& application)
{
    application.setStyle(new BuiltInPictureStyle);
}
