#include "ui/FieldReader.h"

#include <algorithm>
#include <cmath>

namespace qm::ui {

namespace {

bool isWholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return false;
    const double number = value.toDouble();
    return std::floor(number) == number && std::fabs(number) < 1e9;
}

}  // namespace

FieldReader::FieldReader(QJsonObject object, QString where, std::shared_ptr<QString> error)
    : object_(std::move(object)),
      where_(std::move(where)),
      error_(error ? std::move(error) : std::make_shared<QString>()) {}

FieldReader FieldReader::nested(const QJsonObject& object, const QString& where) const {
    return FieldReader(object, where_ + QStringLiteral(", ") + where, error_);
}

void FieldReader::fail(const QString& message) {
    if (!failed()) *error_ = where_ + QStringLiteral(": ") + message;
}

void FieldReader::allowOnly(std::initializer_list<const char*> keys) {
    for (const QString& key : object_.keys()) {
        const bool known = std::any_of(keys.begin(), keys.end(),
                                       [&](const char* allowed) { return key == allowed; });
        if (!known) fail(QStringLiteral("unknown field \"%1\"").arg(key));
    }
}

QJsonValue FieldReader::required(const char* key) {
    const QJsonValue value = object_.value(QLatin1String(key));
    if (value.isUndefined()) fail(QStringLiteral("\"%1\" is missing").arg(key));
    return value;
}

int FieldReader::integer(const char* key) {
    const QJsonValue value = required(key);
    if (value.isUndefined()) return 0;
    if (!isWholeNumber(value)) {
        fail(QStringLiteral("\"%1\" must be a whole number").arg(key));
        return 0;
    }
    return value.toInt();
}

int FieldReader::integer(const char* key, int fallback) {
    return contains(key) ? integer(key) : fallback;
}

QString FieldReader::text(const char* key, const QString& fallback) {
    const QJsonValue value = object_.value(QLatin1String(key));
    if (value.isUndefined()) return fallback;
    if (!value.isString()) fail(QStringLiteral("\"%1\" must be a text").arg(key));
    return value.toString(fallback);
}

QStringList FieldReader::texts(const char* key) {
    QStringList result;
    for (const QJsonValue& value : array(key)) {
        if (!value.isString()) {
            fail(QStringLiteral("\"%1\" must hold texts only").arg(key));
            return {};
        }
        result.append(value.toString());
    }
    return result;
}

std::vector<int> FieldReader::integers(const char* key, int count) {
    const QJsonValue value = required(key);
    const QJsonArray values = value.toArray();
    const bool countRight = count < 0 || values.size() == count;
    const bool allWhole = std::all_of(values.begin(), values.end(), isWholeNumber);
    if (value.isUndefined()) return std::vector<int>(std::max(count, 0));
    if (!value.isArray() || !countRight || !allWhole) {
        fail(count < 0 ? QStringLiteral("\"%1\" must be whole numbers").arg(key)
                       : QStringLiteral("\"%1\" must be %2 whole numbers").arg(key).arg(count));
        return std::vector<int>(std::max(count, 0));
    }
    std::vector<int> result;
    for (const QJsonValue& number : values) result.push_back(number.toInt());
    return result;
}

QJsonArray FieldReader::array(const char* key) {
    const QJsonValue value = object_.value(QLatin1String(key));
    if (!value.isUndefined() && !value.isArray()) {
        fail(QStringLiteral("\"%1\" must be a list").arg(key));
    }
    return value.toArray();
}

QJsonObject FieldReader::object(const char* key) {
    const QJsonValue value = object_.value(QLatin1String(key));
    if (!value.isUndefined() && !value.isObject()) {
        fail(QStringLiteral("\"%1\" must be an object").arg(key));
    }
    return value.toObject();
}

}  // namespace qm::ui
