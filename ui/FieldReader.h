#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>

namespace qm::ui {

// Reads the fields of one JSON object of a resource file. The first fault is kept, with the
// place it was found; later reads then return their fallbacks, so callers read on and ask
// failed() once.
class FieldReader {
public:
    FieldReader(QJsonObject object, QString where, std::shared_ptr<QString> error = {});

    // A reader for a nested object, sharing this one's error.
    FieldReader nested(const QJsonObject& object, const QString& where) const;

    // Refuses a key not named here, so a misspelt field is not silently ignored.
    void allowOnly(std::initializer_list<const char*> keys);
    bool contains(const char* key) const { return object_.contains(QLatin1String(key)); }
    int integer(const char* key);
    int integer(const char* key, int fallback);
    QString text(const char* key, const QString& fallback = {});
    QStringList texts(const char* key);
    std::vector<int> integers(const char* key, int count = -1);
    QJsonArray array(const char* key);
    QJsonObject object(const char* key);

    void fail(const QString& message);
    bool failed() const { return !error_->isEmpty(); }
    QString error() const { return *error_; }
    const QString& where() const { return where_; }

private:
    QJsonValue required(const char* key);

    QJsonObject object_;
    QString where_;
    std::shared_ptr<QString> error_;
};

}  // namespace qm::ui
