#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest show a QString (and the items of a QStringList) as readable UTF-8 text
// in failure messages instead of raw bytes. Found by argument-dependent lookup, so it
// lives in the global namespace with QString.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
