#pragma once

#include <QString>

#include <exception>
#include <utility>

class QWidget;

namespace vantorix {

inline QString applicationTitle() { return QStringLiteral("Vantorix"); }

// The text as the error box shows it: a full stop is added when the last
// character's code is above that of the full stop.
QString withFullStop(const QString &text);

// The application's error box: title "Vantorix", error icon. When the
// error concerns a file, its name stands below the text.
void reportError(const QString &text, const QString &file = QString());

// A plain notice with an OK button, titled "Vantorix".
void showNotice(const QString &text);

// A question with Yes and No, No the default, titled "Vantorix". True for
// Yes.
bool askYesNo(const QString &text);

// Shows in the error box what a handler threw: an IoError with its text,
// a failed allocation as "Not enough memory", anything else by its what().
void reportFailure(std::exception_ptr failure) noexcept;

// The edge of every handler: what it throws stops here and is shown, so
// that nothing crosses the toolkit's event loop. Returns whether the
// handler ran to its end.
template <class Handler>
bool atHandlerEdge(Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        reportFailure(std::current_exception());
        return false;
    }
}

// A slot that runs handler at its edge.
template <class Handler>
auto guarded(Handler handler)
{
    return [handler]() mutable { atHandlerEdge(handler); };
}

}  // namespace vantorix
