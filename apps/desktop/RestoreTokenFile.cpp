#include "apps/desktop/RestoreTokenFile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace qm::desktop {

namespace {

// Portals hand out short printable tokens (a UUID); anything else is not one of theirs.
constexpr qint64 kLongestToken = 1024;

bool looksLikeToken(const QByteArray& text) {
    return !text.isEmpty() && text.size() <= kLongestToken &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

}  // namespace

RestoreTokenFile RestoreTokenFile::remoteDesktop(const std::filesystem::path& deviceRoot) {
    return RestoreTokenFile(deviceRoot / "remote-desktop-token");
}

QString RestoreTokenFile::read() const {
    QFile file(QString::fromStdString(path_.string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = file.read(kLongestToken + 2).trimmed();
    return looksLikeToken(text) ? QString::fromLatin1(text) : QString();
}

bool RestoreTokenFile::write(const QString& token) const {
    const QByteArray text = token.toUtf8();
    if (!looksLikeToken(text)) return false;
    QSaveFile file(QString::fromStdString(path_.string()));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(text + '\n');
    return file.commit();
}

}  // namespace qm::desktop
