#pragma once
// The bytes libFuzzer hands a target, as the Qt types the readers take.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

inline QByteArray bytesDe(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QString textoDe(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
