// Draws the two read-feedback popup pictures and writes them as 16-colour bitmaps:
//   quillmark-popup-bitmaps [--png] OUTPUT_FOLDER
// --png also writes each picture as PNG, for looking at it.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

#include "PopupPictures.h"

namespace {

using qm::popup_bitmaps::IndexedPicture;

bool writeFile(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

bool writePicture(const QDir& folder, const QString& name, const QImage& drawn, bool png) {
    const IndexedPicture picture = qm::popup_bitmaps::quantise(drawn);
    if (!writeFile(folder.filePath(name + ".bmp"), qm::popup_bitmaps::encodeBmp4(picture))) {
        return false;
    }
    return !png || qm::popup_bitmaps::toImage(picture).save(folder.filePath(name + ".png"));
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QStringList arguments = QGuiApplication::arguments().mid(1);
    const bool png = arguments.removeAll(QStringLiteral("--png")) > 0;
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: quillmark-popup-bitmaps [--png] OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(arguments.front());
    if (!folder.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", qPrintable(arguments.front()));
        return 1;
    }
    const bool written =
        writePicture(folder, "popup_good_read", qm::popup_bitmaps::drawGoodReadPicture(), png) &&
        writePicture(folder, "popup_no_read", qm::popup_bitmaps::drawNoReadPicture(), png);
    if (!written) {
        std::fprintf(stderr, "could not write the pictures into %s\n",
                     qPrintable(arguments.front()));
        return 1;
    }
    return 0;
}
