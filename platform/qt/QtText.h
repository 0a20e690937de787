// Text between the dialog layer (strings in the local 8-bit encoding) and
// Qt's strings.
#pragma once

#include <QString>
#include <string>

inline QString ToQt(const std::string& s)
{
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string FromQt(const QString& s)
{
    return s.toLocal8Bit().toStdString();
}
