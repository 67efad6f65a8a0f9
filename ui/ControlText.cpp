#include "ui/ControlText.h"

namespace qm::ui {

QString withoutMnemonics(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            shown.append(text[i]);
        } else if (i + 1 < text.size() && text[i + 1] == u'&') {
            shown.append(u'&');
            ++i;
        }
    }
    return shown;
}

QString accessibleText(const QString& text) { return withoutMnemonics(text).simplified(); }

}  // namespace qm::ui
