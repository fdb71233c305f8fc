#include "addresstext.h"

#include "core/apperror.h"

namespace AddressText {

QString notUsed() {
    return QStringLiteral("not used");
}

QString dec(int value) {
    return QString::asprintf("%05hu", static_cast<unsigned short>(static_cast<quint16>(value)));
}

QString hex(int value) {
    return QString::asprintf("%04hX", static_cast<unsigned short>(static_cast<quint16>(value)));
}

std::optional<int> toInteger(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

int toIntegerOrFail(const QString& text) {
    const std::optional<int> value = toInteger(text);
    if (!value)
        throw AppError(QStringLiteral("\"%1\" is not a whole number").arg(text));
    return *value;
}

} // namespace AddressText
