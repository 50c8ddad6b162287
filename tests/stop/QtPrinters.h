#pragma once

// Readable failure messages for Qt texts and condition rows.
#include <QString>

#include <ostream>

#include "StopConditions.h"

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace tessra {
inline void PrintTo(const StopConditions::Condition& row, std::ostream* os)
{
    *os << '{' << row.name.toStdString() << ' ' << row.comparator.toStdString() << ' '
        << row.value.toStdString() << '}';
}
} // namespace tessra
