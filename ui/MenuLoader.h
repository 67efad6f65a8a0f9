#pragma once

#include <QByteArray>
#include <map>

#include "ui/Loaded.h"
#include "ui/Template.h"

namespace qm::ui {

// A menu resource (":/templates/menuN.json") and the string table (":/templates/strings.json").
Loaded<MenuTemplate> parseMenu(const QByteArray& json, const QString& name);
Loaded<MenuTemplate> loadMenu(int id);

Loaded<std::map<int, QString>> parseStrings(const QByteArray& json, const QString& name);
// The string of that number; empty text with an error when there is none.
Loaded<QString> loadString(int id);

}  // namespace qm::ui
