// The calculator launcher of the account-set directory: made when missing,
// and the one earlier versions made (which ended only with the calculator,
// so that a missing calculator could not be told) replaced, while a launcher
// the user changed is kept.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/file_templates.h"
#include "storage/schemas.h"
#include "storage/store_fixture.h"

namespace tw {
namespace {

using test::TempDir;

const char* const kEarlierLauncher =
    "#!/bin/sh\n"
    "# Starts the first calculator program that this desktop has.\n"
    "for p in gnome-calculator kcalc galculator qalculate-gtk xcalc; do\n"
    "  if command -v \"$p\" >/dev/null 2>&1; then exec \"$p\" \"$@\"; fi\n"
    "done\n"
    "echo \"没有找到计算器程序\" >&2\n"
    "exit 1\n";

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

bool executable(const std::filesystem::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 && (info.st_mode & S_IXUSR) != 0;
}

TEST(CalculatorLauncher, MadeWhenMissingEndingAtOnceWith127WhenNoneIsFound) {
    TempDir dir;
    makeMissingCalculator(dir.path());
    const auto launcher = dir / file::kCalculator;
    ASSERT_EQ(contents(launcher), std::string(calculatorScript()));
    EXPECT_TRUE(executable(launcher));
    const std::string script(calculatorScript());
    EXPECT_NE(script.find("galculator"), std::string::npos) << "the calculator setup installs";
    EXPECT_NE(script.find("exit 127"), std::string::npos);
    EXPECT_EQ(script.find("exec "), std::string::npos) << "never waits for the calculator";
}

TEST(CalculatorLauncher, TheEarlierLauncherIsReplacedAndAChangedOneKept) {
    TempDir dir;
    const auto launcher = dir / file::kCalculator;
    writeText(launcher, kEarlierLauncher);
    ::chmod(launcher.c_str(), 0755);
    makeMissingCalculator(dir.path());
    EXPECT_EQ(contents(launcher), std::string(calculatorScript()));
    EXPECT_TRUE(executable(launcher));
    EXPECT_FALSE(std::filesystem::exists(dir / ".tallowick-temp")) << "no temporary left";

    // The user's own: one line more, or another program altogether.
    for (const std::string& own : {std::string(kEarlierLauncher) + "# 我的\n",
                                   std::string("#!/bin/sh\nexec xcalc\n")}) {
        writeText(launcher, own);
        makeMissingCalculator(dir.path());
        EXPECT_EQ(contents(launcher), own);
    }
}

}  // namespace
}  // namespace tw
