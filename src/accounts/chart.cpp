#include "accounts/chart.h"

#include <filesystem>
#include <functional>

#include "storage/gbk.h"
#include "storage/number_text.h"
#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

namespace {

const std::string kArrow = "→";

std::filesystem::path table(const Session& session, const char* file) {
    return tablePath(session.dataDir, session.login.setName, file);
}

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

bool hasSubAccounts(const std::vector<Account>& accounts, const std::string& name) {
    for (const Account& a : accounts)
        if (a.parent == name) return true;
    return false;
}

// Scans one table of the set for a record the test accepts. A table that is
// not there is empty; one that is there but cannot be opened gives nullopt.
std::optional<bool> anyRecord(RecordStore& store, const Session& session, const char* file,
                              const std::function<bool(const RecordView&)>& test) {
    const auto path = table(session, file);
    if (!std::filesystem::exists(path)) return false;
    if (!store.openTable(path, session.login.setPassword)) return std::nullopt;
    store.goFirst();
    const bool found = store.findRecord(test);
    store.closeTable();
    return found;
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

std::string topLevelAccount(const std::string& fullName) {
    const auto at = fullName.find(kArrow);
    return at == std::string::npos ? fullName : fullName.substr(0, at);
}

const char* addModeText(AddMode mode) {
    return mode == AddMode::SubAccount ? "增加下级科目" : "增加同级科目";
}

std::optional<std::vector<Account>> loadAccounts(RecordStore& store, const Session& session) {
    if (!store.openTable(table(session, file::kAccounts), session.login.setPassword))
        return std::nullopt;
    std::vector<Account> accounts;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        accounts.push_back(readAccount(store));
    store.closeTable();
    return accounts;
}

ChartTrees buildChartTrees(const std::vector<Account>& accounts) {
    ChartTrees trees;
    int target = 0;  // 1..5; 0 until a record names a category
    for (const Account& a : accounts) {
        if (const int c = categoryNumber(a.category)) target = c;
        if (target == 0) continue;
        ChartTree& tree = trees[target - 1];
        if (a.parent.empty()) {
            tree.roots.push_back(static_cast<int>(tree.items.size()));
            tree.items.push_back({a.name, {}});
            continue;
        }
        const std::size_t n = tree.items.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (tree.items[i].name != a.parent) continue;
            tree.items[i].children.push_back(static_cast<int>(tree.items.size()));
            tree.items.push_back({a.name, {}});
        }
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

ChartOutcome addAccount(RecordStore& store, const Session& session, const NewAccount& request) {
    if (trimBlanks(request.typed).empty()) return {false, "请输入科目名称 ！", {}};
    if (request.direction.empty()) return {false, "请选择，余额方向 ！", {}};

    const auto accounts = loadAccounts(store, session);
    if (!accounts) return {false, kUnreadableSet, {}};
    AccountPicker picker;
    picker.selectedAccount = request.selectedAccount;
    picker.selectedParent = request.selectedParent;
    picker.selectedLevel = request.selectedLevel;
    picker.category = request.category;
    if (std::string refusal = addTargetRefusal(*accounts, request.mode, picker); !refusal.empty())
        return {false, refusal, {}};

    Account a;
    a.category = categoryText(request.category);
    a.direction = request.direction;
    if (request.mode == AddMode::SubAccount) {
        a.parent = request.selectedAccount;
        a.level = findAccount(*accounts, a.parent)->level + 1;
    } else {
        a.parent = request.selectedParent;
        a.level = request.selectedLevel;
    }
    a.name = a.parent.empty() ? request.typed : a.parent + kArrow + request.typed;

    // The typed text is compared as it stands (so 现金 is refused under any
    // parent while a top-level 现金 exists); the full name must be new as
    // well, for it is the account's identity everywhere.
    if (findAccount(*accounts, request.typed) || findAccount(*accounts, a.name))
        return {false, "输入的科目名称和已有科目相同 ！", {}};

    try {
        Action action(store);
        if (!store.openTable(table(session, file::kAccounts), session.login.setPassword))
            return {false, kUnreadableSet, {}};
        store.appendRecord({a.name, a.parent, a.category, a.direction, std::string(), a.level});
        action.commit();
        store.closeTable();
    } catch (const StoreError& e) {
        store.closeTable();
        return {false, e.userMessage().empty() ? e.what() : e.userMessage(), {}};
    }
    return {true, {}, a.name};
}

std::optional<bool> accountInUse(RecordStore& store, const Session& session,
                                 const std::string& name) {
    const auto onVoucher = [&name](const RecordView& r) {
        for (int i = 1; i <= 4; ++i)
            if (r.text("科目" + std::to_string(i)) == name) return true;
        return false;
    };
    const auto onLedger = [&name](const RecordView& r) { return r.text(field::kAccount) == name; };
    const auto inJournal = [&name](const RecordView& r) {
        return r.text(field::kAccount) == name || r.text("对应") == name;
    };
    const auto withOpening = [&name](const RecordView& r) {
        return r.text(field::kAccount) == name &&
               (!isZero(r.number(field::kDebit)) || !isZero(r.number(field::kCredit)));
    };
    const std::pair<const char*, std::function<bool(const RecordView&)>> checks[] = {
        {file::kVouchers, onVoucher}, {file::kLedger, onLedger},
        {file::kGeneralLedger, onLedger}, {file::kBalances, onLedger},
        {file::kJournal, inJournal},  {file::kOpening, withOpening},
    };
    for (const auto& [file, test] : checks) {
        const auto used = anyRecord(store, session, file, test);
        if (!used || *used) return used;
    }
    return false;
}

ChartOutcome deleteAccount(RecordStore& store, const Session& session, const std::string& name) {
    const auto accounts = loadAccounts(store, session);
    if (!accounts) return {false, kUnreadableSet, {}};
    const Account* account = findAccount(*accounts, name);
    if (!account) return {false, kChooseAccount, {}};
    if (hasSubAccounts(*accounts, name))
        return {false, name + " 科目，无法删除！（需先删除其下级科目）", {}};
    const std::string posted = name + " 科目，已经被登账！无法删除！";
    if (account->enabled == "真") return {false, posted, {}};
    const auto used = accountInUse(store, session, name);
    if (!used) return {false, kUnreadableSet, {}};
    if (*used) return {false, posted, {}};

    try {
        Action action(store);
        if (!store.openTable(table(session, file::kAccounts), session.login.setPassword))
            return {false, kUnreadableSet, {}};
        store.goFirst();
        if (store.findRecord([&name](const RecordView& r) {
                return r.text(field::kAccountName) == name;
            })) {
            store.deleteRecord();
            store.purgeDeleted();
        }
        action.commit();
        store.closeTable();
    } catch (const StoreError& e) {
        store.closeTable();
        return {false, e.userMessage().empty() ? e.what() : e.userMessage(), {}};
    }
    return {true, "已经成功删除 " + name, name};
}

}  // namespace tw
