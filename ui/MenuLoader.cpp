#include "ui/MenuLoader.h"

#include <QJsonArray>

#include "ui/FieldReader.h"
#include "ui/ResourceFile.h"

namespace qm::ui {

namespace {

std::vector<MenuItem> readItems(FieldReader& fields, const char* key);

MenuItem readItem(FieldReader fields) {
    fields.allowOnly({"text", "command", "popup", "items"});
    MenuItem item;
    item.text = fields.text("text");
    item.command = fields.integer("command", 0);
    item.popup = fields.integer("popup", -1);
    item.items = readItems(fields, "items");
    if (item.text.isEmpty()) fields.fail(QStringLiteral("an entry needs a text"));
    return item;
}

std::vector<MenuItem> readItems(FieldReader& fields, const char* key) {
    std::vector<MenuItem> items;
    for (const QJsonValue& value : fields.array(key)) {
        const QJsonObject object = value.toObject();
        items.push_back(readItem(fields.nested(object, object.value("text").toString())));
    }
    return items;
}

Loaded<QJsonObject> readKind(const QByteArray& json, const QString& name, const char* kind) {
    Loaded<QJsonObject> object = readJsonObject(json, name);
    if (object.ok() && object.value.value("kind").toString() != QLatin1String(kind)) {
        object.error = QStringLiteral("%1: \"kind\" must be \"%2\"").arg(name, kind);
    }
    return object;
}

}  // namespace

Loaded<MenuTemplate> parseMenu(const QByteArray& json, const QString& name) {
    const Loaded<QJsonObject> object = readKind(json, name, "menu");
    if (!object.ok()) return {{}, object.error};
    FieldReader fields(object.value, name);
    fields.allowOnly({"id", "kind", "popups", "softkeys"});
    MenuTemplate menu;
    menu.id = fields.integer("id");
    menu.items = readItems(fields, "popups");
    menu.softKeys = readItems(fields, "softkeys");
    for (const MenuItem& key : menu.softKeys) {
        if (key.popup >= static_cast<int>(menu.items.size())) {
            fields.fail(QStringLiteral("soft key \"%1\" opens no pop-up").arg(key.text));
        }
    }
    if (fields.failed()) return {{}, fields.error()};
    return {std::move(menu), {}};
}

Loaded<MenuTemplate> loadMenu(int id) {
    const QString path = QStringLiteral(":/templates/menu%1.json").arg(id);
    const Loaded<QByteArray> bytes = readResource(path);
    if (!bytes.ok()) return {{}, bytes.error};
    return parseMenu(bytes.value, path);
}

Loaded<std::map<int, QString>> parseStrings(const QByteArray& json, const QString& name) {
    const Loaded<QJsonObject> object = readKind(json, name, "strings");
    if (!object.ok()) return {{}, object.error};
    FieldReader fields(object.value, name);
    fields.allowOnly({"kind", "strings"});
    std::map<int, QString> strings;
    for (const QJsonValue& value : fields.array("strings")) {
        FieldReader entry = fields.nested(value.toObject(), QStringLiteral("string"));
        entry.allowOnly({"id", "text"});
        const int id = entry.integer("id");
        if (!strings.emplace(id, entry.text("text")).second) {
            entry.fail(QStringLiteral("string %1 appears twice").arg(id));
        }
    }
    if (fields.failed()) return {{}, fields.error()};
    return {std::move(strings), {}};
}

Loaded<QString> loadString(int id) {
    const QString path = QStringLiteral(":/templates/strings.json");
    const Loaded<QByteArray> bytes = readResource(path);
    if (!bytes.ok()) return {{}, bytes.error};
    const Loaded<std::map<int, QString>> table = parseStrings(bytes.value, path);
    if (!table.ok()) return {{}, table.error};
    const auto found = table.value.find(id);
    if (found == table.value.end())
        return {{}, QStringLiteral("%1: no string %2").arg(path).arg(id)};
    return {found->second, {}};
}

}  // namespace qm::ui
