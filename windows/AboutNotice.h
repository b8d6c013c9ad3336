#pragma once

#include <QStringList>

namespace vantorix {

// The About window's notice: 47 lines of at most 55 characters, in two
// sections (a warning and the terms of responsibility).
QStringList aboutNotice();

inline QString aboutCaption() { return QStringLiteral("Copyright (C) 2026 Vantorix, info@vantorix.example"); }
// Short enough to stand whole in its 150-pixel label at 15-pixel bold.
inline QString webAddress() { return QStringLiteral("https://vantorix.eu"); }

}  // namespace vantorix
