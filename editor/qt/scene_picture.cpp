#include "editor/qt/scene_picture.h"

#include "platform/core/atomic_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>

#include <exception>
#include <span>

namespace vendrel {

namespace {

constexpr int kCaptionBand = 20;
constexpr int kLogoMargin = 20;
constexpr int kSmallLogoSource = 44;
constexpr int kSmallLogoSize = 33;

} // namespace

QImage ComposeScenePicture(const QImage& View, const QImage& Bar, const QImage& Logo, const QImage& SmallLogo,
                           const QString& Caption) {
    if (View.isNull()) {
        return {};
    }
    const int sw = View.width(), sh = View.height();
    const int bw = Bar.isNull() ? 0 : Bar.width();
    QImage result(sw + bw, sh + kCaptionBand, QImage::Format_ARGB32);
    if (result.isNull()) {
        return {};
    }
    result.fill(Qt::black);
    QPainter p(&result);
    p.drawImage(QPoint(0, 0), View);
    if (!Bar.isNull()) {
        p.drawImage(QRect(sw, 0, bw, sh), Bar);
    }
    if (!Logo.isNull()) {
        p.setOpacity(0.5);
        p.drawImage(QPoint(kLogoMargin, sh - Logo.height() - kLogoMargin), Logo);
        p.setOpacity(1.0);
    }
    if (!SmallLogo.isNull()) {
        p.drawImage(QRect(kLogoMargin, kLogoMargin, kSmallLogoSize, kSmallLogoSize), SmallLogo,
                    QRect(0, 0, kSmallLogoSource, kSmallLogoSource));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, result.width() - 1, result.height() - 1));
    p.drawRect(QRect(1, 1, result.width() - 2, result.height() - 2));
    const QRect band(0, sh, result.width(), kCaptionBand);
    p.fillRect(band, QColor(0xFF808080));
    p.drawRect(band.adjusted(0, 0, -1, -1));
    p.setOpacity(0.8);
    p.setPen(Qt::black);
    p.drawText(QRect(kLogoMargin, sh + 1, sw - kLogoMargin, kCaptionBand), Qt::AlignLeft | Qt::AlignTop,
               Caption);
    p.end();
    return result;
}

std::string SaveScenePicture(const QImage& Picture, const std::filesystem::path& FileName) {
    if (Picture.isNull()) {
        return "There is no picture of the view to save.";
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Picture.save(&buffer, "JPEG")) {
        return "The picture could not be encoded as JPEG.";
    }
    try {
        WriteFileAtomically(FileName,
                            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                     static_cast<size_t>(bytes.size())));
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace vendrel
