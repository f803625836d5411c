#include "units/twips.h"

#include <QWidget>

namespace twips {

void move(QWidget* widget, float left, float top, float width, float height)
{
    widget->setGeometry(toPixels(left), toPixels(top), std::max(0, toPixels(width)),
                        std::max(0, toPixels(height)));
}

float left(const QWidget* widget)
{
    return fromPixels(widget->x());
}

float top(const QWidget* widget)
{
    return fromPixels(widget->y());
}

float width(const QWidget* widget)
{
    return fromPixels(widget->width());
}

float height(const QWidget* widget)
{
    return fromPixels(widget->height());
}

QString formatSingle(float value)
{
    if (value == 0.0f)
        return QStringLiteral("0");
    QString text = QString::number(static_cast<double>(value), 'g', 7);
    // Qt writes exponents as e+07; keep the conventional upper-case, unpadded form.
    if (text.contains(QLatin1Char('e'))) {
        text.replace(QLatin1String("e+0"), QLatin1String("E+"));
        text.replace(QLatin1String("e-0"), QLatin1String("E-"));
        text.replace(QLatin1Char('e'), QLatin1Char('E'));
    }
    return text;
}

} // namespace twips
