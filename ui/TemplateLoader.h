#pragma once

#include <QByteArray>
#include <vector>

#include "ui/Loaded.h"
#include "ui/Template.h"

namespace qm::ui {

// Parses a dialog template; `name` says where it came from in the error.
Loaded<DialogTemplate> parseTemplate(const QByteArray& json, const QString& name);

// The template of that number shipped in the program (":/templates/N.json").
Loaded<DialogTemplate> loadTemplate(int id);

// The same, for templates that must exist: a missing or broken one ends the program.
DialogTemplate requireTemplate(int id);

// The numbers of every shipped template, ascending.
std::vector<int> shippedTemplateIds();

}  // namespace qm::ui
