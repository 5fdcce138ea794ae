#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <string>

#include "platform/file_templates.h"
#include "platform/ui/run_program.h"
#include "storage/schemas.h"

namespace tw {
namespace {

TEST(RunProgram, StartsAProgramAndReportsOneThatCannotStart) {
    EXPECT_TRUE(runProgram("/bin/true"));
    EXPECT_FALSE(runProgram("/nonexistent/计算器"));
}

// An executable shell script `name` in `dir`.
std::filesystem::path script(const QTemporaryDir& dir, const char* name, const std::string& text) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.c_str());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return std::filesystem::path(path.toStdString());
}

TEST(RunLauncher, TellsAProgramStartedFromNoneFoundAndFromAFailure) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(runLauncher(script(dir, "started", "#!/bin/sh\nexit 0\n")), Launch::Started);
    EXPECT_EQ(runLauncher(script(dir, "none", "#!/bin/sh\nexit 127\n")), Launch::NotFound);
    EXPECT_EQ(runLauncher(script(dir, "broken", "#!/bin/sh\nexit 1\n")), Launch::Failed);
    EXPECT_EQ(runLauncher(script(dir, "killed", "#!/bin/sh\nkill -9 $$\n")), Launch::Failed);
    EXPECT_EQ(runLauncher("/nonexistent/计算器"), Launch::Failed);
}

// The launcher made for the account-set directory, run with a PATH of our
// own: no calculator there, then a "galculator" that leaves a mark.
TEST(RunLauncher, TheSetsLauncherStartsTheCalculatorOnThePathOrSaysThereIsNone) {
    QTemporaryDir dataDir, bin;
    ASSERT_TRUE(dataDir.isValid() && bin.isValid());
    const std::filesystem::path data(dataDir.path().toStdString());
    makeMissingCalculator(data);
    const auto launcher = data / std::filesystem::u8path(file::kCalculator);

    struct PathGuard {
        QByteArray saved = qgetenv("PATH");
        ~PathGuard() { qputenv("PATH", saved); }
    } guard;
    qputenv("PATH", QFile::encodeName(bin.path()));
    EXPECT_EQ(runLauncher(launcher), Launch::NotFound);

    const std::string mark = bin.filePath(QStringLiteral("started")).toStdString();
    script(bin, "galculator", "#!/bin/sh\necho \"$#\" > '" + mark + "'\n");
    EXPECT_EQ(runLauncher(launcher), Launch::Started);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(mark); }, 5000))
        << "the calculator was run";
}

}  // namespace
}  // namespace tw
