// The evaluation of the rules, shared by the two statements (statement.h).
//
// A balance is counted once in the sums a statement adds up. A term takes
// the accounts at and below the account it names, except those a more
// specific term takes (one naming an account below it) when the two terms'
// lines enter one sum: the same line, or two lines that one line adds up
// through 行N. So with "现金 + 银行存款→工商银行" in 货币资金 and 其余(资产类)
// in 其他流动资产, both in 流动资产合计, the catch-all takes 银行存款 less
// 工商银行; and 银行存款 in one line with 银行存款→工商银行 in another line of
// the same total leaves the first line 银行存款 less 工商银行. A 其中 line,
// which no line adds up together with its parent's line, shows its part
// without taking it from the parent (税金及附加 keeps 消费税).
#include <array>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "accounts/account_names.h"
#include "statements/statement.h"
#include "storage/number_text.h"
#include "storage/outcome.h"

namespace tw {

namespace {

bool takesBalances(RuleTerm::Kind kind) {
    return kind == RuleTerm::Kind::Account || kind == RuleTerm::Kind::DebitSides ||
           kind == RuleTerm::Kind::CreditSides;
}

// Whether a term of this kind takes a balance (cents, debit positive).
bool takes(RuleTerm::Kind kind, std::int64_t v) {
    if (kind == RuleTerm::Kind::DebitSides) return v > 0;
    if (kind == RuleTerm::Kind::CreditSides) return v < 0;
    return true;
}

// The statement's rules as the evaluation looks them up: each line by its
// number, which lines enter one sum, and which lines name each account.
class RuleIndex {
public:
    explicit RuleIndex(const std::vector<LineRule>& rules) {
        std::map<int, std::set<int>> adds;  // line → the lines its 行N terms name
        for (const LineRule& r : rules) {
            if (!r.line) continue;
            byLine_[r.line] = &r;
            for (const RuleTerm& t : r.terms) {
                if (t.kind == RuleTerm::Kind::Line) adds[r.line].insert(t.line);
                else if (takesBalances(t.kind)) named_[t.name].emplace(r.line, t.kind);
            }
        }
        // Two lines enter one sum when some line reaches both (itself included).
        for (const auto& entry : byLine_) {
            const int n = entry.first;
            std::set<int> reached{n};
            std::vector<int> todo{n};
            while (!todo.empty()) {
                const int m = todo.back();
                todo.pop_back();
                for (const int k : adds[m])
                    if (reached.insert(k).second) todo.push_back(k);
            }
            for (const int a : reached)
                for (const int b : reached) together_[a][b] = true;
        }
    }

    const LineRule& rule(int line) const { return *byLine_.at(line); }

    // Whether a term naming an account strictly below `node`, on a line that
    // enters one sum with `line` (on any line when `line` is 0), takes the
    // balance v of `account`, which lies at or below `node`.
    bool takenBelow(const std::string& account, std::int64_t v, const std::string& node, int line) const {
        for (std::string a = account; a.size() > node.size(); a = parentOf(a)) {
            const auto found = named_.find(a);
            if (found == named_.end()) continue;
            for (const auto& [other, kind] : found->second)
                if ((line == 0 || together_[line][other]) && takes(kind, v)) return true;
        }
        return false;
    }

private:
    std::map<int, const LineRule*> byLine_;
    std::map<std::string, std::set<std::pair<int, RuleTerm::Kind>>> named_;
    std::array<std::array<bool, 100>, 100> together_{};  // 行次 are 1 to 99
};

// One column of a statement, in whole cents.
class Evaluation {
public:
    Evaluation(const Books& books, const RuleIndex& index, const ColumnFigures& figures,
               const std::set<std::string>& named)
        : books_(books), index_(index), figures_(figures), named_(named) {}

    std::int64_t line(int n) {
        if (const auto done = values_.find(n); done != values_.end()) return done->second;
        const LineRule& rule = index_.rule(n);  // the rules have no circles, nor missing lines
        std::int64_t sum = 0;
        for (const RuleTerm& t : rule.terms) sum += t.sign * term(t, rule);
        return values_[n] = sum;
    }

    // The top-level accounts each catch-all line took, by line.
    const std::map<int, std::set<std::string>>& caught() const { return caught_; }

    // What of a top-level account's figure no term of the statement takes.
    std::int64_t untaken(const std::string& top) const {
        std::int64_t rest = topFigure(top);
        forEachAt(top, [&](const std::string& account, std::int64_t v) {
            if (index_.takenBelow(account, v, top, 0)) rest -= v;
        });
        return rest;
    }

private:
    // A term's amount; the same term twice on a line is worked out once.
    std::int64_t term(const RuleTerm& t, const LineRule& rule) {
        if (t.kind == RuleTerm::Kind::Line) return line(t.line);
        const auto key = std::make_tuple(rule.line, t.kind, t.name, t.side);
        if (const auto done = terms_.find(key); done != terms_.end()) return done->second;
        return terms_[key] = takenBy(t, rule);
    }

    std::int64_t takenBy(const RuleTerm& t, const LineRule& rule) {
        switch (t.kind) {
            case RuleTerm::Kind::Line:
                return line(t.line);
            case RuleTerm::Kind::Account: {
                // A top-level account from its own figure, less what the
                // terms below it take; a sub-account from the accounts at and
                // below it that no term below it takes.
                const bool top = isTopLevel(t.name);
                std::int64_t v = top ? topFigure(t.name) : 0;
                forEachAt(t.name, [&](const std::string& account, std::int64_t x) {
                    const bool below = index_.takenBelow(account, x, t.name, rule.line);
                    if (top && below) v -= x;
                    if (!top && !below) v += x;
                });
                return books_.debitAccount(t.name) ? v : -v;
            }
            case RuleTerm::Kind::DebitSides:
            case RuleTerm::Kind::CreditSides: {
                const bool debit = t.kind == RuleTerm::Kind::DebitSides;
                std::int64_t sum = 0;
                forEachAt(t.name, [&](const std::string& account, std::int64_t x) {
                    if (takes(t.kind, x) && !index_.takenBelow(account, x, t.name, rule.line))
                        sum += debit ? x : -x;
                });
                return sum;
            }
            case RuleTerm::Kind::Rest: {
                std::int64_t sum = 0;
                for (const auto& figure : figures_.tops) {
                    const std::string& top = figure.first;
                    if (named_.count(top) || books_.category(top) != t.name) continue;
                    if (!t.side.empty() && books_.debitAccount(top) != (t.side == "借方")) continue;
                    std::int64_t rest = figure.second;
                    forEachAt(top, [&](const std::string& account, std::int64_t x) {
                        if (index_.takenBelow(account, x, top, rule.line)) rest -= x;
                    });
                    sum += rest;
                    if (rest != 0) caught_[rule.line].insert(top);
                }
                return rule.debitSide ? sum : -sum;
            }
        }
        return 0;
    }

    std::int64_t topFigure(const std::string& top) const {
        const auto it = figures_.tops.find(top);
        return it == figures_.tops.end() ? 0 : it->second;
    }

    // Calls visit(account, figure) for the posted accounts at and below `node`.
    template <class Visit>
    void forEachAt(const std::string& node, Visit&& visit) const {
        forEachAtOrBelow(figures_.accounts, node, visit);
    }

    const Books& books_;
    const RuleIndex& index_;
    const ColumnFigures& figures_;
    const std::set<std::string>& named_;
    std::map<int, std::int64_t> values_;
    std::map<std::tuple<int, RuleTerm::Kind, std::string, std::string>, std::int64_t> terms_;
    std::map<int, std::set<std::string>> caught_;
};

}  // namespace

void requireIdentity(const Statement& s, int column, const std::string& heading, const std::string& left,
                     std::int64_t leftCents, const std::string& right, std::int64_t rightCents) {
    if (leftCents == rightCents) return;
    std::string message = heading + s.columns[column] + "的" + left + "为" + twoDecimals(fromCents(leftCents)) +
                          "，" + right + "为" + twoDecimals(fromCents(rightCents)) + "，相差" +
                          twoDecimals(fromCents(leftCents > rightCents ? leftCents - rightCents
                                                                       : rightCents - leftCents)) +
                          "。";
    for (const std::string& n : s.notices) message += n;
    refuse(message + "请先用“核对账目”检查账簿。", s.fileStem + " column " + std::to_string(column));
}

double Statement::amount(int line, int column) const {
    for (const StatementLine& l : lines)
        if (l.line == line) return l.amounts[column];
    return 0;
}

void evaluateStatement(const Books& books, const std::vector<LineRule>& rules,
                       const ColumnFigures (&columns)[2], const std::string& what,
                       const std::function<bool(const std::string&)>& watched, Statement& out) {
    const std::vector<std::string> names = namedTopLevels(rules);
    const std::set<std::string> named(names.begin(), names.end());
    const RuleIndex index(rules);
    Evaluation first(books, index, columns[0], named), second(books, index, columns[1], named);
    for (const LineRule& r : rules) {
        StatementLine l;
        l.line = r.line;
        l.item = r.item;
        l.debitSide = r.debitSide;
        l.computed = r.line && !r.terms.empty();
        if (r.line) {
            l.amounts[0] = fromCents(first.line(r.line));
            l.amounts[1] = fromCents(second.line(r.line));
        }
        out.lines.push_back(std::move(l));
    }

    // Who went where: by a catch-all into its line, or nowhere. Only what no
    // term takes counts: a top-level account whose sub-accounts the lines
    // name in full is in no catch-all.
    std::map<std::string, int> lineOf;
    for (const Evaluation* e : {&first, &second})
        for (const auto& [line, tops] : e->caught())
            for (const std::string& top : tops) lineOf.emplace(top, line);
    std::set<std::string> tops;
    const Evaluation* evaluations[2] = {&first, &second};
    for (int c = 0; c < 2; ++c)
        for (const auto& figure : columns[c].tops) {
            const std::string& top = figure.first;
            if (!named.count(top) && watched(top) && evaluations[c]->untaken(top) != 0) tops.insert(top);
        }
    for (const std::string& top : tops) {
        const auto found = lineOf.find(top);
        if (found == lineOf.end()) {
            out.notices.push_back("科目“" + top + "”有" + what + "，但不属于报表的任何项目，未计入本表。");
            continue;
        }
        std::string item;
        for (const LineRule& r : rules)
            if (r.line == found->second) item = r.item;
        // The form's indentation is no part of the name.
        while (item.starts_with("　")) item.erase(0, std::string("　").size());
        out.notices.push_back("科目“" + top + "”不在报表项目的取数中，已计入第" +
                              std::to_string(found->second) + "行“" + item + "”。");
    }
}

}  // namespace tw
