// Saves a picture of a dialog template as the program builds it:
//   quillmark-template-preview TEMPLATE OUT.png [PAGE]
// PAGE (from 0) chooses the tab shown by a template with a tab control.
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "TemplatePreview.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    bool idOk = false;
    bool pageOk = true;
    const int id = arguments.value(0).toInt(&idOk);
    const int page = arguments.size() > 2 ? arguments[2].toInt(&pageOk) : 0;
    if (arguments.size() < 2 || arguments.size() > 3 || !idOk || !pageOk) {
        std::fprintf(stderr, "usage: quillmark-template-preview TEMPLATE OUT.png [PAGE]\n");
        return 2;
    }
    QString error;
    const QImage picture = qm::template_preview::previewTemplate(id, page, error);
    if (picture.isNull()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!picture.save(arguments[1])) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(arguments[1]));
        return 1;
    }
    return 0;
}
