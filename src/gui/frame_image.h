// Frames of the frame-buffer display as Qt images, and where a frame goes in
// the output window.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include "host/frame_presenter.h"

// A deep copy of the frame (16-bit 5-6-5 or 5-5-5, or 32-bit X8R8G8B8); a null
// image for an empty frame or an unknown pixel format.
QImage frameToImage(const FrameView& frame);

// The largest rectangle of the frame's aspect that fits `area`, centred in it;
// empty when either size is empty.
QRect aspectFitRect(const QSize& frame, const QSize& area);
