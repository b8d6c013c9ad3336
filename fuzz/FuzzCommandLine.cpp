// An emulator slot's text of any characters splits into words or fails on
// an open quote, and words joined again split back to the same words.
#include "settings/EmulatorCommand.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList words;
    if (!vantorix::splitCommandLine(text, &words))
        return 0;
    QStringList again;
    if (!vantorix::splitCommandLine(vantorix::joinCommandLine(words), &again) || again != words)
        std::abort();
    vantorix::EmulatorCommand command;
    const auto never = [](const QString &) { return false; };
    if (!vantorix::emulatorCommand(text, QStringLiteral("/r.gb"), never, &command))
        std::abort();
    return 0;
}
