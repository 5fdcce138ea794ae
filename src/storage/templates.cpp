#include "storage/templates.h"

#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <fstream>
#include <system_error>

#include "platform/page_grid.h"
#include "statements/statement_rules.h"
#include "storage/file_swap.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

struct TemplateAccount {
    const char* name;
    const char* parent;  // empty for a top-level account
    int category;        // 1..5
    bool debit;
};

// A standard small-business chart of accounts.
const TemplateAccount kChart[] = {
    {"现金", "", 1, true},
    {"银行存款", "", 1, true},
    {"其他货币资金", "", 1, true},
    {"短期投资", "", 1, true},
    {"应收票据", "", 1, true},
    {"应收账款", "", 1, true},
    {"预付账款", "", 1, true},
    {"应收股利", "", 1, true},
    {"应收利息", "", 1, true},
    {"其他应收款", "", 1, true},
    {"材料采购", "", 1, true},
    {"在途物资", "", 1, true},
    {"原材料", "", 1, true},
    {"材料成本差异", "", 1, true},
    {"库存商品", "", 1, true},
    {"委托加工物资", "", 1, true},
    {"周转材料", "", 1, true},
    {"长期股权投资", "", 1, true},
    {"固定资产", "", 1, true},
    {"累计折旧", "", 1, false},
    {"在建工程", "", 1, true},
    {"固定资产清理", "", 1, true},
    {"无形资产", "", 1, true},
    {"累计摊销", "", 1, false},
    {"长期待摊费用", "", 1, true},
    {"待处理财产损溢", "", 1, true},
    {"短期借款", "", 2, false},
    {"应付票据", "", 2, false},
    {"应付账款", "", 2, false},
    {"预收账款", "", 2, false},
    {"应付职工薪酬", "", 2, false},
    {"应交税费", "", 2, false},
    {"应交税费→应交增值税", "应交税费", 2, false},
    {"应交税费→未交增值税", "应交税费", 2, false},
    {"应交税费→应交所得税", "应交税费", 2, false},
    {"应付利息", "", 2, false},
    {"应付利润", "", 2, false},
    {"其他应付款", "", 2, false},
    {"长期借款", "", 2, false},
    {"长期应付款", "", 2, false},
    {"实收资本", "", 3, false},
    {"资本公积", "", 3, false},
    {"盈余公积", "", 3, false},
    {"本年利润", "", 3, false},
    {"利润分配", "", 3, false},
    {"利润分配→未分配利润", "利润分配", 3, false},
    {"生产成本", "", 4, true},
    {"制造费用", "", 4, true},
    {"研发支出", "", 4, true},
    {"主营业务收入", "", 5, false},
    {"其他业务收入", "", 5, false},
    {"投资收益", "", 5, false},
    {"营业外收入", "", 5, false},
    {"主营业务成本", "", 5, true},
    {"其他业务成本", "", 5, true},
    {"税金及附加", "", 5, true},
    {"销售费用", "", 5, true},
    {"管理费用", "", 5, true},
    {"财务费用", "", 5, true},
    {"营业外支出", "", 5, true},
    {"所得税费用", "", 5, true},
};

const char* kProfitAccount = "本年利润";

struct TemplatePhrase {
    const char* phrase;
    const char* category;  // empty for a category record
};

const TemplatePhrase kPhrases[] = {
    {"收款", ""},        {"收到货款", "收款"},     {"收回欠款", "收款"},
    {"收到投资款", "收款"}, {"付款", ""},           {"支付货款", "付款"},
    {"支付运费", "付款"},   {"预付货款", "付款"},     {"费用", ""},
    {"报销差旅费", "费用"}, {"支付办公费", "费用"},   {"支付水电费", "费用"},
    {"计提本月工资", "费用"}, {"计提折旧", "费用"},   {"银行", ""},
    {"提取现金", "银行"},   {"现金存入银行", "银行"}, {"支付银行手续费", "银行"},
    {"税费", ""},        {"缴纳增值税", "税费"},   {"缴纳附加税费", "税费"},
};

// Writes a table whole, unless a file appeared at its place meanwhile.
void makeTable(const fs::path& path, const TemplateTable& t,
               const std::function<void(RecordStore&)>& fill, const fs::path& dataDir) {
    writeThenRename(
        path,
        [&](const fs::path& tmp) {
            RecordStore store(dataDir);
            Action action(store);
            if (!store.createTable(tmp, t.schema()) || !store.openTable(tmp, "")) return false;
            if (fill) fill(store);
            store.setTablePassword(t.password);
            action.commit();
            store.closeTable();
            return true;
        },
        Existing::Keep);
}

void fillChart(RecordStore& s) {
    for (const auto& a : kChart) {
        const int level = a.parent[0] ? 2 : 1;
        s.appendRecord({a.name, a.parent, kCategories[a.category - 1], a.debit ? "借方" : "贷方",
                        "", level});
    }
}

void fillCarryForward(RecordStore& s) {
    for (const auto& a : kChart)
        if (a.category == 5 && !a.parent[0]) s.appendRecord({a.name, kProfitAccount});
}

void fillPhrases(RecordStore& s) {
    for (const auto& p : kPhrases) s.appendRecord({p.phrase, p.category});
}

void makeReportWorkbook(const fs::path& path) {
    lxw_workbook* wb = workbook_new(path.c_str());
    if (!wb) return;
    lxw_format* title = workbook_add_format(wb);
    format_set_bold(title);
    format_set_font_size(title, 14);
    lxw_worksheet* summary = workbook_add_worksheet(wb, "科目汇总表");
    worksheet_write_string(summary, 0, 0, "科目汇总表", title);
    lxw_worksheet* trial = workbook_add_worksheet(wb, "试算平衡表");
    worksheet_write_string(trial, 0, 0, "试算平衡表", title);
    workbook_close(wb);
}

void makeCoverWorkbook(const fs::path& path) {
    lxw_workbook* wb = workbook_new(path.c_str());
    if (!wb) return;
    lxw_worksheet* ws = workbook_add_worksheet(wb, "封面");
    lxw_format* big = workbook_add_format(wb);
    format_set_bold(big);
    format_set_font_size(big, 26);
    format_set_align(big, LXW_ALIGN_CENTER);
    lxw_format* line = workbook_add_format(wb);
    format_set_font_size(line, 14);
    format_set_bottom(line, LXW_BORDER_THIN);
    worksheet_set_column(ws, 0, 0, 16, nullptr);
    worksheet_set_column(ws, 1, 1, 40, nullptr);
    worksheet_merge_range(ws, 2, 0, 2, 1, "会 计 凭 证 封 面", big);
    const char* rows[] = {"单位名称：", "所属期间：", "凭证起止号：", "册    数：", "会计主管：",
                          "装 订 人："};
    for (int i = 0; i < 6; ++i) {
        worksheet_write_string(ws, 5 + i * 2, 0, rows[i], line);
        worksheet_write_blank(ws, 5 + i * 2, 1, line);
    }
    workbook_close(wb);
}

void makeCalculator(const fs::path& path) {
    std::ofstream out(path);
    out << "#!/bin/sh\n"
           "# Starts the first calculator program that this desktop has.\n"
           "for p in gnome-calculator kcalc galculator qalculate-gtk xcalc; do\n"
           "  if command -v \"$p\" >/dev/null 2>&1; then exec \"$p\" \"$@\"; fi\n"
           "done\n"
           "echo \"没有找到计算器程序\" >&2\n"
           "exit 1\n";
    out.close();
    ::chmod(path.c_str(), 0755);
}

template <typename F>
void makeFileIfMissing(const fs::path& path, F make) {
    std::error_code ec;
    if (fs::exists(path, ec)) return;
    writeThenRename(
        path,
        [&](const fs::path& tmp) {
            make(tmp);
            std::error_code made;
            return fs::exists(tmp, made);
        },
        Existing::Keep);
}

}  // namespace

void makeMissingTemplates(const fs::path& dataDir) {
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) return;
    for (const TemplateTable& t : templateTables()) {
        const fs::path path = dataDir / fs::u8path(t.fileName);
        if (fs::exists(path, ec)) continue;
        std::function<void(RecordStore&)> fill;
        const std::string name = t.fileName;
        if (name == file::kAccounts) fill = fillChart;
        else if (name == file::kCarryForward) fill = fillCarryForward;
        else if (name == file::kPhrases) fill = fillPhrases;
        try {
            makeTable(path, t, fill, dataDir);
        } catch (const std::exception&) {
            // An unwritable directory leaves the template missing; creating a set says so.
        }
    }
    makeFileIfMissing(dataDir / fs::u8path(file::kReportWorkbook), makeReportWorkbook);
    makeFileIfMissing(dataDir / fs::u8path(file::kCoverWorkbook), makeCoverWorkbook);
    makeFileIfMissing(dataDir / fs::u8path(file::kCalculator), makeCalculator);
    writePageTemplates(dataDir);
    writeStatementRulesIfMissing(dataDir);
}

}  // namespace tw
