#pragma once

#include <QJsonObject>
#include <QString>

#include "ui/Loaded.h"

namespace qm::ui {

// A shipped resource file's bytes, and its text as one JSON object.
Loaded<QJsonObject> readJsonObject(const QByteArray& json, const QString& name);
Loaded<QByteArray> readResource(const QString& path);

}  // namespace qm::ui
