#include "accounts/account_templates.h"

#include "storage/schemas.h"

namespace tw {

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

}  // namespace

std::map<std::string, TemplateRecords> accountTemplateRecords() {
    return {{file::kAccounts, fillChart},
            {file::kCarryForward, fillCarryForward},
            {file::kPhrases, fillPhrases}};
}

}  // namespace tw
