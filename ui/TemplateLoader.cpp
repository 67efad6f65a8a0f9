#include "ui/TemplateLoader.h"

#include <QDir>
#include <QJsonArray>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "ui/FieldReader.h"
#include "ui/Names.h"
#include "ui/ResourceFile.h"

namespace qm::ui {

namespace {

const QString TemplateFolder = QStringLiteral(":/templates");

unsigned readStyles(FieldReader& fields, std::optional<unsigned> (*named)(const QString&)) {
    unsigned styles = 0;
    for (const QString& word : fields.texts("styles")) {
        const std::optional<unsigned> bit = named(word);
        if (!bit) fields.fail(QStringLiteral("unknown style \"%1\"").arg(word));
        styles |= bit.value_or(0);
    }
    return styles;
}

QRect readRect(FieldReader& fields) {
    const std::vector<int> r = fields.integers("rect", 4);
    if (r[0] < 0 || r[1] < 0 || r[2] <= 0 || r[3] <= 0) {
        fields.fail(QStringLiteral("\"rect\" needs x, y >= 0 and a width and height above 0"));
    }
    return QRect(r[0], r[1], r[2], r[3]);
}

std::vector<TabPage> readPages(FieldReader& fields) {
    std::vector<TabPage> pages;
    for (const QJsonValue& value : fields.array("pages")) {
        FieldReader page = fields.nested(value.toObject(), QStringLiteral("page"));
        page.allowOnly({"caption", "template"});
        pages.push_back({page.text("caption"), page.integer("template")});
    }
    return pages;
}

void checkFieldsFitKind(FieldReader& fields, const ControlTemplate& control) {
    const bool isList =
        control.kind == ControlKind::DropDownList || control.kind == ControlKind::ListBox;
    const bool isPicture = control.kind == ControlKind::Bitmap || control.kind == ControlKind::Icon;
    const bool isLabel = control.kind == ControlKind::LeftText ||
                         control.kind == ControlKind::CentredText ||
                         control.kind == ControlKind::RightText;
    if (fields.contains("items") && !isList) fields.fail(QStringLiteral("only lists have items"));
    if (fields.contains("image") && !isPicture)
        fields.fail(QStringLiteral("only pictures have an image"));
    if (fields.contains("pages") && control.kind != ControlKind::TabControl) {
        fields.fail(QStringLiteral("only a tab control has pages"));
    }
    if (fields.contains("buddy") && control.kind != ControlKind::UpDown) {
        fields.fail(QStringLiteral("only an up-down control has a buddy"));
    }
    if (fields.contains("labels") && !isLabel)
        fields.fail(QStringLiteral("only labels name controls"));
}

ControlTemplate readControl(FieldReader fields) {
    fields.allowOnly({"id", "kind", "text", "rect", "styles", "items", "image", "buddy", "labels",
                      "description", "pages"});
    ControlTemplate control;
    control.id = fields.integer("id", NoId);
    const QString kindName = fields.text("kind");
    const std::optional<ControlKind> kind = controlKindNamed(kindName);
    if (!kind) fields.fail(QStringLiteral("unknown kind \"%1\"").arg(kindName));
    control.kind = kind.value_or(ControlKind::LeftText);
    control.text = fields.text("text");
    control.rect = readRect(fields);
    control.styles = readStyles(fields, controlStyleNamed);
    control.items = fields.texts("items");
    control.image = fields.integer("image", 0);
    control.buddy = fields.integer("buddy", NoId);
    if (fields.contains("labels")) control.labels = fields.integers("labels");
    control.description = fields.text("description");
    control.pages = readPages(fields);
    checkFieldsFitKind(fields, control);
    return control;
}

QString controlName(int index, const QJsonObject& object) {
    const QJsonValue id = object.value(QLatin1String("id"));
    return id.isDouble() ? QStringLiteral("control %1 (id %2)").arg(index).arg(id.toInt())
                         : QStringLiteral("control %1").arg(index);
}

void checkFitsDialog(FieldReader& fields, const DialogTemplate& dialog) {
    for (const ControlTemplate& control : dialog.controls) {
        // A drop-down list's rectangle includes its dropped list, which may pass the edge.
        if (control.kind == ControlKind::DropDownList) continue;
        if (!QRect(QPoint(0, 0), dialog.size).contains(control.rect)) {
            fields.fail(QStringLiteral("control %1 at %2,%3 %4x%5 lies outside the dialog")
                            .arg(control.id)
                            .arg(control.rect.x())
                            .arg(control.rect.y())
                            .arg(control.rect.width())
                            .arg(control.rect.height()));
        }
    }
}

void checkReferences(FieldReader& fields, const DialogTemplate& dialog) {
    std::set<int> ids;
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id != NoId && !ids.insert(control.id).second) {
            fields.fail(QStringLiteral("control id %1 appears twice").arg(control.id));
        }
    }
    for (const ControlTemplate& control : dialog.controls) {
        const ControlTemplate* buddy = dialog.find(control.buddy);
        if (control.buddy != NoId && (!buddy || buddy->kind != ControlKind::Edit)) {
            fields.fail(QStringLiteral("up-down %1: buddy %2 is no edit of this template")
                            .arg(control.id)
                            .arg(control.buddy));
        }
        for (int named : control.labels) {
            if (!dialog.find(named)) {
                fields.fail(QStringLiteral("label \"%1\" names %2, which is not in this template")
                                .arg(control.text)
                                .arg(named));
            }
        }
    }
}

void readWindow(FieldReader& fields, DialogTemplate& dialog) {
    fields.allowOnly({"id", "kind", "caption", "size", "position", "font", "styles", "controls"});
    dialog.id = fields.integer("id");
    const QString kindName = fields.text("kind");
    const std::optional<TemplateKind> kind = templateKindNamed(kindName);
    if (!kind) fields.fail(QStringLiteral("unknown template kind \"%1\"").arg(kindName));
    dialog.kind = kind.value_or(TemplateKind::Dialog);
    dialog.caption = fields.text("caption");
    const std::vector<int> size = fields.integers("size", 2);
    if (size[0] <= 0 || size[1] <= 0) fields.fail(QStringLiteral("\"size\" must be above 0"));
    dialog.size = QSize(size[0], size[1]);
    if (fields.contains("position")) {
        const std::vector<int> position = fields.integers("position", 2);
        dialog.position = QPoint(position[0], position[1]);
    }
    FieldReader font = fields.nested(fields.object("font"), QStringLiteral("font"));
    font.allowOnly({"face", "points"});
    dialog.fontFace = font.text("face");
    dialog.fontPoints = font.integer("points");
    if (dialog.fontPoints <= 0) font.fail(QStringLiteral("\"points\" must be above 0"));
    dialog.styles = readStyles(fields, windowStyleNamed);
}

}  // namespace

const ControlTemplate* DialogTemplate::find(int controlId) const {
    if (controlId == NoId) return nullptr;
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [&](const ControlTemplate& c) { return c.id == controlId; });
    return found == controls.end() ? nullptr : &*found;
}

Loaded<DialogTemplate> parseTemplate(const QByteArray& json, const QString& name) {
    const Loaded<QJsonObject> object = readJsonObject(json, name);
    if (!object.ok()) return {{}, object.error};
    FieldReader fields(object.value, name);
    DialogTemplate dialog;
    readWindow(fields, dialog);
    const QJsonArray controls = fields.array("controls");
    for (int index = 0; index < controls.size() && !fields.failed(); ++index) {
        const QJsonObject control = controls.at(index).toObject();
        dialog.controls.push_back(readControl(fields.nested(control, controlName(index, control))));
    }
    if (!fields.failed()) checkReferences(fields, dialog);
    if (!fields.failed()) checkFitsDialog(fields, dialog);
    if (fields.failed()) return {{}, fields.error()};
    return {std::move(dialog), {}};
}

Loaded<DialogTemplate> loadTemplate(int id) {
    const QString path = QStringLiteral("%1/%2.json").arg(TemplateFolder).arg(id);
    const Loaded<QByteArray> bytes = readResource(path);
    if (!bytes.ok()) return {{}, bytes.error};
    Loaded<DialogTemplate> loaded = parseTemplate(bytes.value, path);
    if (loaded.ok() && loaded.value.id != id) {
        loaded.error = QStringLiteral("%1: holds template %2").arg(path).arg(loaded.value.id);
    }
    return loaded;
}

DialogTemplate requireTemplate(int id) {
    Loaded<DialogTemplate> loaded = loadTemplate(id);
    if (!loaded.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.error));
        std::abort();
    }
    return std::move(loaded.value);
}

std::vector<int> shippedTemplateIds() {
    std::vector<int> ids;
    for (const QString& file : QDir(TemplateFolder).entryList({QStringLiteral("*.json")})) {
        bool isNumber = false;
        const int id = file.chopped(5).toInt(&isNumber);
        if (isNumber) ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace qm::ui
