// Screenshots of the output window: PNG files in the user's pictures folder
// under Orvex/, named after the ROM and the time they were taken.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

// The pictures folder of the desktop (XDG_PICTURES_DIR) with "Orvex" added.
QString screenshotFolder();

// "<ROM name> <yyyy-MM-dd hh-mm-ss>.png"; characters unfit for a file name
// are replaced by '_', an empty name becomes "Orvex".
QString screenshotFileName(const QString& romName, const QDateTime& time);

// Writes `image` into `folder` (made when missing) under the name above, with
// " (2)", " (3)", ... added rather than overwriting an earlier file. The path
// written, or an empty string with `error` set when nothing could be written.
QString saveScreenshot(const QImage& image, const QString& folder, const QString& romName,
                       const QDateTime& time, QString& error);
