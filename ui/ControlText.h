#pragma once

#include <QString>

namespace qm::ui {

// A control text as it is shown where '&' marks no mnemonic: "&&" is one ampersand, a single
// '&' vanishes. Line breaks stay.
QString withoutMnemonics(const QString& text);

// The words assistive technology hears for a text: no mnemonics, line breaks and runs of
// blanks as one space.
QString accessibleText(const QString& text);

}  // namespace qm::ui
