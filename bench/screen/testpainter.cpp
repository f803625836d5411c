// The plain case for snipwell_firstpaint's rectangle watches: a grey window
// that paints a pattern at (20, 20), 64 x 48, only after a delay.
//   snipwell_testpainter DELAY_MS          shows the window
//   snipwell_testpainter --pattern FILE    writes the pattern as a picture

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

const QRect kPatternRect(20, 20, 64, 48);

QImage pattern()
{
    QImage image(kPatternRect.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x + y) % 2 ? 255 : 0));
    }
    return image;
}

class Painter : public QWidget
{
  public:
    explicit Painter(int delayMs)
    {
        resize(200, 150);
        QTimer::singleShot(delayMs, this, [this] {
            m_showPattern = true;
            update(kPatternRect);
        });
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        if (m_showPattern)
            painter.drawImage(kPatternRect.topLeft(), pattern());
    }

  private:
    bool m_showPattern = false;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--pattern") == 0)
        return pattern().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc != 2)
        return 2;
    QApplication app(argc, argv);
    Painter window(QByteArray(argv[1]).toInt());
    window.show();
    return QApplication::exec();
}
