// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ProfileStore.h"

#include <QByteArray>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <filesystem>
#include <system_error>

#include "platform/DebugOutput.h"

namespace {

QString SettingName(const char* section, const char* key) {
    return QString::fromUtf8(section) + QLatin1Char('/') + QString::fromUtf8(key);
}

// Text that is valid UTF-8 is stored as readable text; any other byte string is stored as a
// byte array so that it reads back unchanged.
QVariant StoredText(const std::string& text) {
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    const QString decoded = QString::fromUtf8(bytes);
    if (decoded.toUtf8() == bytes) {
        return decoded;
    }
    return bytes;
}

// The text of a stored value. A value edited by hand with an unquoted comma is read by QSettings
// as a list; its items are joined again.
std::string TextOf(const QVariant& value) {
    QByteArray bytes;
    if (value.typeId() == QMetaType::QByteArray) {
        bytes = value.toByteArray();
    } else if (value.typeId() == QMetaType::QStringList) {
        bytes = value.toStringList().join(QStringLiteral(", ")).toUtf8();
    } else {
        bytes = value.toString().toUtf8();
    }
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Stores one value and flushes the file; false, after a trace, when the file was not written.
bool StoreValue(const std::string& path, const char* section, const char* key,
                const QVariant& value) {
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    settings.setValue(SettingName(section, key), value);
    settings.sync();
    if (settings.status() == QSettings::NoError) {
        return true;
    }
    OutputDebugStringA("Cannot write the setting " + std::string(section) + "/" + key + " to " +
                       path + "\n");
    return false;
}

}  // namespace

ProfileStore::ProfileStore(std::string iniPath) : m_Path(std::move(iniPath)) {}

std::string ProfileStore::Path() const {
    MutexLock lock(m_Mutex);
    return m_Path;
}

void ProfileStore::SetPath(std::string iniPath) {
    MutexLock lock(m_Mutex);
    m_Path = std::move(iniPath);
}

int ProfileStore::GetProfileInt(const char* section, const char* key, int defaultValue) const {
    MutexLock lock(m_Mutex);
    const QSettings settings(QString::fromStdString(m_Path), QSettings::IniFormat);
    const QVariant value = settings.value(SettingName(section, key));
    if (!value.isValid()) {
        return defaultValue;
    }
    bool isNumber = false;
    const int number = value.toString().trimmed().toInt(&isNumber, 10);
    return isNumber ? number : defaultValue;
}

std::string ProfileStore::GetProfileString(const char* section, const char* key,
                                           const char* defaultValue) const {
    MutexLock lock(m_Mutex);
    const QSettings settings(QString::fromStdString(m_Path), QSettings::IniFormat);
    const QVariant value = settings.value(SettingName(section, key));
    if (!value.isValid()) {
        return defaultValue != nullptr ? defaultValue : "";
    }
    return TextOf(value);
}

bool ProfileStore::WriteProfileInt(const char* section, const char* key, int value) {
    MutexLock lock(m_Mutex);
    return StoreValue(m_Path, section, key, value);
}

bool ProfileStore::WriteProfileString(const char* section, const char* key,
                                      const std::string& value) {
    MutexLock lock(m_Mutex);
    return StoreValue(m_Path, section, key, StoredText(value));
}

std::string UserProfilePath(const std::string& company, const std::string& appName) {
    const QString configHome =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return configHome.toStdString() + "/" + company + "/" + appName + ".conf";
}

std::string ExecutableBaseName() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.stem().empty()) {
        return "fenrik";
    }
    return executable.stem().string();
}
