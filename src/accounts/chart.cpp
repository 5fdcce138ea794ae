#include "accounts/chart.h"

#include <filesystem>
#include <functional>

#include "accounts/account_codes.h"
#include "accounts/opening_balances.h"
#include "storage/gbk.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

Account readAccount(const RecordStore& store) {
    Account a;
    a.name = store.readField(field::kAccountName).text();
    a.parent = store.readField(field::kParent).text();
    a.category = store.readField(field::kCategory).text();
    a.direction = store.readField(4).text();  // the direction is kept by position
    a.enabled = store.readField(field::kAccountEnabled).text();
    a.level = static_cast<int>(store.readField(field::kLevel).integer());
    return a;
}

const Account* findAccount(const std::vector<Account>& accounts, const std::string& name) {
    for (const Account& a : accounts)
        if (a.name == name) return &a;
    return nullptr;
}

// After the chart changed: the saved opening list of a set not yet enabled
// follows it. Returns the accounts whose opening amounts were cleared.
std::vector<std::string> followChart(RecordStore& store, const Session& session) {
    if (setIsEnabled(store, session)) return {};
    std::vector<OpeningRow> rows;
    return refreshOpeningList(store, session, rows);
}

}  // namespace

int categoryNumber(const std::string& text) {
    for (int i = 0; i < 5; ++i)
        if (text == kCategories[i]) return i + 1;
    return 0;
}

const char* categoryText(int number) {
    return number >= 1 && number <= 5 ? kCategories[number - 1] : "";
}

const char* addModeText(AddMode mode) {
    return mode == AddMode::SubAccount ? "增加下级科目" : "增加同级科目";
}

std::vector<Account> loadAccounts(RecordStore& store, const Session& session) {
    const SetTable chart(store, session, file::kAccounts);
    std::vector<Account> accounts;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        accounts.push_back(readAccount(store));
    return accounts;
}

ChartTrees buildChartTrees(const std::vector<Account>& accounts) {
    ChartTrees trees;
    int target = 0;  // 1..5; 0 until a record names a category
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        const Account& a = accounts[i];
        if (const int c = categoryNumber(a.category)) target = c;
        if (target != 0) trees[target - 1].add(a.name, a.parent, i);
    }
    return trees;
}

void selectAccount(AccountPicker& picker, const std::vector<Account>& accounts,
                   const std::string& name) {
    picker.selectedAccount = name;
    if (const Account* a = findAccount(accounts, name)) {
        picker.selectedParent = a->parent;
        picker.selectedLevel = a->level;
    }
}

void changeCategory(AccountPicker& picker, int category) {
    picker.selectedAccount.clear();
    picker.category = category;
}

std::string addTargetRefusal(const std::vector<Account>& accounts, AddMode mode,
                             const AccountPicker& picker) {
    const std::string& parent =
        mode == AddMode::SubAccount ? picker.selectedAccount : picker.selectedParent;
    if (mode == AddMode::SubAccount && parent.empty()) return kChooseAccount;
    if (parent.empty()) return {};
    const Account* p = findAccount(accounts, parent);
    if (!p || p->category != categoryText(picker.category)) return kChooseAccount;
    return {};
}

std::string inheritedDirection(const std::vector<Account>& accounts, AddMode mode,
                               const AccountPicker& picker) {
    const std::string& parent =
        mode == AddMode::SubAccount ? picker.selectedAccount : picker.selectedParent;
    if (parent.empty()) return {};
    const Account* p = findAccount(accounts, parent);
    return p ? p->direction : std::string();
}

std::string addAccount(RecordStore& store, const Session& session, const NewAccount& request,
                       std::vector<std::string>* clearedParents) {
    const char* const chooseDirection = "请选择，余额方向 ！";
    // Blanks around a name are never meant, and "→" joins a full name: typed
    // into a name it would make another account its parent.
    const std::string typed = trimBlanks(request.typed);
    if (typed.empty()) refuse("请输入科目名称 ！");
    if (!isOwnName(typed)) refuse(kArrowInName);
    const std::string& parentName =
        request.mode == AddMode::SubAccount ? request.selectedAccount : request.selectedParent;
    if (request.direction.empty() && parentName.empty()) refuse(chooseDirection);

    const auto accounts = loadAccounts(store, session);
    AccountPicker picker;
    picker.selectedAccount = request.selectedAccount;
    picker.selectedParent = request.selectedParent;
    picker.selectedLevel = request.selectedLevel;
    picker.category = request.category;
    if (std::string refusal = addTargetRefusal(accounts, request.mode, picker); !refusal.empty())
        refuse(refusal);

    Account a;
    a.category = categoryText(request.category);
    a.direction = request.direction.empty() ? inheritedDirection(accounts, request.mode, picker)
                                            : request.direction;
    // A parent stored without a direction has none to hand on.
    if (a.direction.empty()) refuse(chooseDirection);
    if (request.mode == AddMode::SubAccount) {
        a.parent = request.selectedAccount;
        a.level = findAccount(accounts, a.parent)->level + 1;
    } else {
        a.parent = request.selectedParent;
        a.level = request.selectedLevel;
    }
    a.name = childName(a.parent, typed);

    // The typed text is compared as it stands (so 现金 is refused under any
    // parent while a top-level 现金 exists); the full name must be new as
    // well, for it is the account's identity everywhere.
    if (inChart(accounts, typed) || inChart(accounts, a.name))
        refuse("输入的科目名称和已有科目相同 ！");

    AccountCodes codes = accountCodes(store, session, accounts);
    std::string code = trimBlanks(request.code);
    if (code.empty()) code = proposedCode(codes, a.parent, request.category);
    if (std::string refusal = codeRefusal(codes, a.parent, request.category, code); !refusal.empty())
        refuse(refusal);

    {
        const SetTable chart(store, session, file::kAccounts);
        store.appendRecord({a.name, a.parent, a.category, a.direction, std::string(), a.level});
    }
    codes[a.name] = code;
    storeAccountCodes(store, session, codes);
    const std::vector<std::string> cleared = followChart(store, session);
    if (clearedParents) *clearedParents = cleared;
    return a.name;
}

bool accountInUse(RecordStore& store, const Session& session, const std::string& name) {
    // Whether the open table holds a record the look-up finds.
    const auto found = [&](const char* file, const Where& where) {
        return SetTable(store, session, file)->any(where);
    };
    const Where onLedger = Where().equal(field::kAccount, name);
    if (found(file::kVouchers, Where().anyFieldEqual(field::lineAccounts(), name)) ||
        found(file::kLedger, onLedger) || found(file::kGeneralLedger, onLedger) ||
        found(file::kBalances, onLedger) ||
        found(file::kJournal, Where().anyFieldEqual({field::kAccount, field::kCounterAccount}, name)))
        return true;
    std::error_code ec;
    if (!std::filesystem::exists(tablePath(session, file::kOpening), ec)) return false;
    const SetTable opening(store, session, file::kOpening);
    const int debit = opening->position(field::kDebit), credit = opening->position(field::kCredit);
    bool withAmount = false;
    for (const Record& r : opening->select(onLedger))
        withAmount = withAmount || !isZero(r[debit].number()) || !isZero(r[credit].number());
    return withAmount;
}

std::string deleteAccount(RecordStore& store, const Session& session, const std::string& name) {
    const auto accounts = loadAccounts(store, session);
    const Account* account = findAccount(accounts, name);
    if (!account) refuse(kChooseAccount);
    if (hasSubAccounts(accounts, name)) refuse(name + " 科目，无法删除！（需先删除其下级科目）");
    const std::string posted = name + " 科目，已经被登账！无法删除！";
    if (account->enabled == "真" || accountInUse(store, session, name)) refuse(posted);
    AccountCodes codes = accountCodes(store, session, accounts);

    {
        const SetTable chart(store, session, file::kAccounts);
        store.goFirst();
        if (store.findRecord(
                [&name](const RecordView& r) { return r.text(field::kAccountName) == name; })) {
            store.deleteRecord();
            store.purgeDeleted();
        }
    }
    codes.erase(name);
    storeAccountCodes(store, session, codes);
    followChart(store, session);
    return "已经成功删除 " + name;
}

}  // namespace tw
