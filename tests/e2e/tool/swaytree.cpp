#include "swaytree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QRect rectOf(const QJsonObject& object)
{
    return QRect(object.value(QStringLiteral("x")).toInt(),
                 object.value(QStringLiteral("y")).toInt(),
                 object.value(QStringLiteral("width")).toInt(),
                 object.value(QStringLiteral("height")).toInt());
}

void collect(const QJsonObject& node, qint64 pid, QVector<SwayView>& views)
{
    if (node.value(QStringLiteral("pid")).toInteger(-1) == pid) {
        // window_rect is the surface's place inside the container's rect.
        const QRect outer = rectOf(node.value(QStringLiteral("rect")).toObject());
        const QRect inner = rectOf(node.value(QStringLiteral("window_rect")).toObject());
        views.append({node.value(QStringLiteral("id")).toInteger(),
                      inner.translated(outer.topLeft()),
                      node.value(QStringLiteral("shell")).toString(),
                      node.value(QStringLiteral("app_id")).toString(),
                      node.value(QStringLiteral("focused")).toBool()});
    }
    for (const char* key : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(key)).toArray())
            collect(child.toObject(), pid, views);
    }
}

} // namespace

QVector<SwayView> viewsOfProcess(const QByteArray& treeJson, qint64 pid)
{
    QVector<SwayView> views;
    const QJsonDocument tree = QJsonDocument::fromJson(treeJson);
    if (tree.isObject())
        collect(tree.object(), pid, views);
    return views;
}
