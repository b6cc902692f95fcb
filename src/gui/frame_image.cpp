#include "gui/frame_image.h"

QImage frameToImage(const FrameView& frame) {
    if (!frame.pixels || frame.width == 0 || frame.height == 0) return {};
    QImage::Format format;
    uint32_t bytesPerPixel;
    if (frame.format.bitsPerPixel == 32) {
        format = QImage::Format_RGB32;
        bytesPerPixel = 4;
    } else if (frame.format.bitsPerPixel == 16) {
        format =
            frame.format.greenMask == GREEN_MASK_565 ? QImage::Format_RGB16 : QImage::Format_RGB555;
        bytesPerPixel = 2;
    } else {
        return {};
    }
    // Rows shorter than a row of pixels would be read past their end.
    if (frame.pitch < frame.width * bytesPerPixel) return {};
    const QImage view(frame.pixels, int(frame.width), int(frame.height), qsizetype(frame.pitch),
                      format);
    return view.copy();
}

QRect aspectFitRect(const QSize& frame, const QSize& area) {
    if (frame.isEmpty() || area.isEmpty()) return {};
    const QSize fitted = frame.scaled(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2),
                 fitted);
}
