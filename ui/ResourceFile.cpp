#include "ui/ResourceFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

namespace qm::ui {

Loaded<QJsonObject> readJsonObject(const QByteArray& json, const QString& name) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return {{},
                QStringLiteral("%1: %2 at offset %3")
                    .arg(name, parseError.errorString())
                    .arg(parseError.offset)};
    }
    if (!document.isObject()) return {{}, name + QStringLiteral(": not a JSON object")};
    return {document.object(), {}};
}

Loaded<QByteArray> readResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, path + QStringLiteral(": not found")};
    return {file.readAll(), {}};
}

}  // namespace qm::ui
