#include "host/qt/qsettings_registry.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace {

const QString NUMBER_PREFIX = QStringLiteral("dword:");

// The settings key of a value: its name, inside a group for every subkey but
// the program's own.
QString keyOf(const std::string& subkey, const std::string& name) {
    const QString value = QString::fromStdString(name);
    if (subkey == ORVEX_REGISTRY_KEY || subkey.empty()) return value;
    QString group = QString::fromStdString(subkey);
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group + QLatin1Char('/') + value;
}

bool isPlainText(const std::string& bytes) {
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QString text = QString::fromUtf8(raw);
    return text.toUtf8() == raw && !text.startsWith(NUMBER_PREFIX);
}

} // namespace

QSettingsRegistry::QSettingsRegistry()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Orvex"), QStringLiteral("Orvex"))) {}

QSettingsRegistry::QSettingsRegistry(const std::string& filePath)
    : settings_(
          std::make_unique<QSettings>(QString::fromStdString(filePath), QSettings::NativeFormat)) {}

QSettingsRegistry::~QSettingsRegistry() = default;

std::string QSettingsRegistry::fileName() const {
    std::lock_guard lock(mutex_);
    return settings_->fileName().toStdString();
}

bool QSettingsRegistry::read(const std::string& subkey, const std::string& name,
                             std::string& bytes) {
    std::lock_guard lock(mutex_);
    const QVariant value = settings_->value(keyOf(subkey, name));
    if (!value.isValid()) return false;
    if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray raw = value.toByteArray();
        bytes.assign(raw.constData(), static_cast<size_t>(raw.size()));
        return true;
    }
    // A hand-edited text with commas reads as a list; it was one string.
    const QString text = value.typeId() == QMetaType::QStringList
                             ? value.toStringList().join(QLatin1Char(','))
                             : value.toString();
    if (text.startsWith(NUMBER_PREFIX)) {
        bool ok = false;
        const uint32_t number = text.mid(NUMBER_PREFIX.size()).toUInt(&ok, 16);
        if (ok) {
            const unsigned char le[4] = {
                static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
            bytes.assign(reinterpret_cast<const char*>(le), 4);
            return true;
        }
    }
    bytes = text.toStdString();
    return true;
}

bool QSettingsRegistry::write(const std::string& subkey, const std::string& name, uint32_t type,
                              const std::string& bytes) {
    std::lock_guard lock(mutex_);
    QVariant value;
    if (type == REG_DWORD && bytes.size() == 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        const uint32_t number = b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24;
        value = NUMBER_PREFIX + QStringLiteral("%1").arg(number, 8, 16, QLatin1Char('0'));
    } else if (type == REG_SZ && isPlainText(bytes)) {
        value = QString::fromStdString(bytes);
    } else {
        value = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    settings_->setValue(keyOf(subkey, name), value);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}
