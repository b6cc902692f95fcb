#include "gui/screenshot.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString screenshotFolder() {
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty()) pictures = QDir::homePath();
    return QDir(pictures).filePath(QStringLiteral("Orvex"));
}

QString screenshotFileName(const QString& romName, const QDateTime& time) {
    QString name = romName.trimmed();
    for (QChar& c : name)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c == u':') c = u'_';
    if (name.isEmpty() || name.startsWith(u'.')) name.prepend(QStringLiteral("Orvex"));
    return QStringLiteral("%1 %2.png")
        .arg(name, time.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")));
}

QString saveScreenshot(const QImage& image, const QString& folder, const QString& romName,
                       const QDateTime& time, QString& error) {
    if (image.isNull()) {
        error = QStringLiteral("no frame has been shown yet");
        return {};
    }
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return {};
    }
    const QString fileName = screenshotFileName(romName, time);
    QString path = QDir(folder).filePath(fileName);
    for (int n = 2; QFileInfo::exists(path) && n < 1000; ++n)
        path = QDir(folder).filePath(fileName.chopped(4) + QStringLiteral(" (%1).png").arg(n));
    if (QFileInfo::exists(path)) {
        error = QStringLiteral("too many screenshots of this second");
        return {};
    }
    // Written under another name and renamed at the end: a failed write
    // leaves no broken picture behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        error = QStringLiteral("%1 cannot be written").arg(path);
        return {};
    }
    return path;
}
