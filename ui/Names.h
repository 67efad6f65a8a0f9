#pragma once

#include <QString>
#include <optional>

#include "ui/Template.h"

namespace qm::ui {

// The words the resource files use for kinds and styles.
std::optional<ControlKind> controlKindNamed(const QString& name);
std::optional<TemplateKind> templateKindNamed(const QString& name);
std::optional<unsigned> controlStyleNamed(const QString& name);
std::optional<unsigned> windowStyleNamed(const QString& name);

}  // namespace qm::ui
