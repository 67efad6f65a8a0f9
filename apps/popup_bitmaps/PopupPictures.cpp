#include "PopupPictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include "Palette16.h"

namespace qm::popup_bitmaps {

namespace {

const QColor kGrey(0xC0, 0xC0, 0xC0);
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);

QImage greyCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kGrey);
    return image;
}

// Sixteen colours leave no room for antialiasing: every edge must be one colour or the other.
QFont boldSans(int pixelSize) {
    QFont font("Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(pixelSize);
    return font;
}

// The largest bold font whose ink of text fits box.
QFont fittedFont(const QString& text, QSize box) {
    for (int pixelSize = box.height(); pixelSize > 6; --pixelSize) {
        const QRect ink = QFontMetrics(boldSans(pixelSize)).tightBoundingRect(text);
        if (ink.width() <= box.width() && ink.height() <= box.height()) return boldSans(pixelSize);
    }
    return boldSans(6);
}

// Draws text in black with its ink centred in box, as large as box allows.
void drawCentredText(QPainter& painter, const QString& text, QRect box) {
    const QFont font = fittedFont(text, box.size());
    const QRect ink = QFontMetrics(font).tightBoundingRect(text);
    painter.setFont(font);
    painter.setPen(kBlack);
    const QPoint inkOrigin = box.center() - ink.center();
    painter.drawText(inkOrigin, text);
}

void drawWarningTriangle(QPainter& painter, QRect box) {
    const QPolygon outline(
        {QPoint(box.center().x(), box.top()), box.bottomRight(), box.bottomLeft()});
    painter.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(kYellow);
    painter.drawPolygon(outline);

    const int centreX = box.center().x();
    const int stemTop = box.top() + box.height() * 3 / 10;
    const int stemBottom = box.top() + box.height() * 7 / 10;
    painter.fillRect(QRect(QPoint(centreX - 2, stemTop), QPoint(centreX + 2, stemBottom)), kBlack);
    painter.fillRect(
        QRect(QPoint(centreX - 2, stemBottom + 4), QPoint(centreX + 2, stemBottom + 8)), kBlack);
}

void beginCrisp(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
}

}  // namespace

QImage drawGoodReadPicture() {
    QImage image = greyCanvas(129, 51);
    QPainter painter(&image);
    beginCrisp(painter);
    drawCentredText(painter, QStringLiteral("Scan OK!"), QRect(6, 10, 117, 31));
    return image;
}

QImage drawNoReadPicture() {
    QImage image = greyCanvas(180, 51);
    QPainter painter(&image);
    beginCrisp(painter);
    drawWarningTriangle(painter, QRect(3, 3, 46, 44));
    drawCentredText(painter, QStringLiteral("Scan Failed!"), QRect(52, 8, 126, 35));
    return image;
}

IndexedPicture quantise(const QImage& image) {
    IndexedPicture picture{image.width(), image.height(), {}};
    picture.indices.reserve(static_cast<size_t>(image.width() * image.height()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            picture.indices.push_back(nearestPaletteIndex({static_cast<uint8_t>(qRed(pixel)),
                                                           static_cast<uint8_t>(qGreen(pixel)),
                                                           static_cast<uint8_t>(qBlue(pixel))}));
        }
    }
    return picture;
}

QImage toImage(const IndexedPicture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb colour =
                kPalette16[picture.indices[static_cast<size_t>(y * picture.width + x)]];
            image.setPixel(x, y, qRgb(colour.r, colour.g, colour.b));
        }
    }
    return image;
}

}  // namespace qm::popup_bitmaps
