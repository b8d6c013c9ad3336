#pragma once

#include <QStringList>

namespace vantorix {

// The About window's notice: 47 lines of at most 55 characters, in two
// sections (a warning and the terms of responsibility).
QStringList aboutNotice();

inline QString aboutCaption() { return QStringLiteral("Copyright (C) 2026 Vantorix, info@vantorix.example"); }
inline QString webAddress() { return QStringLiteral("http://www.vantorix.example/"); }

}  // namespace vantorix
