// An emulator slot's text as a command line: split like a shell would,
// expand nothing, put the ROM where %ROM% stands or last.
#include "settings/EmulatorCommand.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace vantorix;

namespace {

const QString kRom = QStringLiteral("/games/A B.gb");

struct CommandCase {
    const char *text;
    QStringList command;  // program and arguments; empty: cannot be split
};

TEST(EmulatorCommand, SplitAndRomPlacement)
{
    const CommandCase cases[] = {
        {"flatpak run io.mgba.mGBA", {"flatpak", "run", "io.mgba.mGBA", kRom}},
        {"retroarch -L /usr/lib/x86_64-linux-gnu/libretro/gambatte_libretro.so",
         {"retroarch", "-L", "/usr/lib/x86_64-linux-gnu/libretro/gambatte_libretro.so", kRom}},
        {"mgba-qt -f", {"mgba-qt", "-f", kRom}},
        {"\"/opt/My Emu/emu\" --rom=%ROM%", {"/opt/My Emu/emu", "--rom=" + kRom}},
        {"emu %ROM% %ROM%.sav", {"emu", kRom, kRom + ".sav"}},
        {"  emu\t'a  b'  ", {"emu", "a  b", kRom}},
        {"emu '' \"\"", {"emu", "", "", kRom}},
        {"emu a\\ b \\'q\\\" c\\\\d", {"emu", "a b", "'q\"", "c\\d", kRom}},
        {"emu \"\\$HOME \\` \\\" \\\\ \\n\" 'x\\y'", {"emu", "$HOME ` \" \\ \\n", "x\\y", kRom}},
        {"emu line\\\nend \"one\\\ntwo\"", {"emu", "lineend", "onetwo", kRom}},
        {"emu $HOME ~/x *.gb $(id) `id` ;", {"emu", "$HOME", "~/x", "*.gb", "$(id)", "`id`", ";", kRom}},
        {"emu trailing\\", {"emu", "trailing\\", kRom}},
        {"emu 'open", {}},
        {"emu \"open", {}},
        {"emu \"a\\\"", {}},
    };
    const auto noExecutable = [](const QString &) { return false; };
    for (const CommandCase &c : cases) {
        EmulatorCommand command;
        const bool split = emulatorCommand(QString::fromUtf8(c.text), kRom, noExecutable, &command);
        ASSERT_EQ(split, !c.command.isEmpty()) << c.text;
        if (split) {
            EXPECT_EQ(QStringList{command.program} + command.arguments, c.command) << c.text;
        }
    }
    // A text that names an executable whole is one program, spaces and all.
    EmulatorCommand whole;
    ASSERT_TRUE(emulatorCommand("/opt/My Emu/emu %ROM%", kRom, [](const QString &) { return true; }, &whole));
    EXPECT_EQ(whole.program, QStringLiteral("/opt/My Emu/emu %ROM%"));
    EXPECT_EQ(whole.arguments, QStringList{kRom});
}

TEST(EmulatorCommand, JoinedWordsSplitBack)
{
    const QStringList samples[] = {
        {}, {""}, {"a b", "it's", "\"q\"", "back\\slash", "new\nline", "$x `y`", "%ROM%", "", " "},
    };
    for (const QStringList &words : samples) {
        QStringList back;
        ASSERT_TRUE(splitCommandLine(joinCommandLine(words), &back));
        EXPECT_EQ(back, words);
    }
}

}  // namespace
