// tallowick-cli [--data-dir DIR] COMMAND ...
#include <clocale>

#include "cli/command.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    tw::cli::Context ctx;
    CLI::App app{"Tallowick 账务处理 命令行工具", "tallowick-cli"};
    app.require_subcommand(1);
    app.add_option("--data-dir", ctx.dataDirOption, "套账目录 (默认同主程序)");
    tw::cli::registerCommands(app, ctx);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    return ctx.exitCode;
}
