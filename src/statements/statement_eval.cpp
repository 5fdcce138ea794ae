// The evaluation of the rules, shared by the two statements (statement.h).
#include <map>
#include <set>

#include "statements/statement.h"
#include "storage/number_text.h"
#include "storage/outcome.h"

namespace tw {

namespace {

bool under(const std::string& account, const std::string& node) {
    return account == node ||
           (account.size() > node.size() && account.starts_with(node) &&
            account.compare(node.size(), std::string("→").size(), "→") == 0);
}

class Evaluation {
public:
    Evaluation(const Books& books, const std::vector<LineRule>& rules, const ColumnFigures& figures,
               const std::set<std::string>& named)
        : books_(books), figures_(figures), named_(named) {
        for (const LineRule& r : rules)
            if (r.line) rules_[r.line] = &r;
    }

    double line(int n) {
        if (const auto done = values_.find(n); done != values_.end()) return done->second;
        const LineRule& rule = *rules_.at(n);  // the rules have no circles, nor missing lines
        double sum = 0;
        for (const RuleTerm& t : rule.terms) sum += t.sign * term(t, rule);
        return values_[n] = roundCents(sum);
    }

    // The top-level accounts each catch-all line took, by line.
    const std::map<int, std::set<std::string>>& caught() const { return caught_; }

private:
    double term(const RuleTerm& t, const LineRule& rule) {
        switch (t.kind) {
            case RuleTerm::Kind::Line:
                return line(t.line);
            case RuleTerm::Kind::Account: {
                const double v = debitValue(t.name);
                return books_.debitAccount(t.name) ? v : -v;
            }
            case RuleTerm::Kind::DebitSides:
            case RuleTerm::Kind::CreditSides: {
                const bool debit = t.kind == RuleTerm::Kind::DebitSides;
                double sum = 0;
                for (const auto& [account, v] : figures_.accounts)
                    if (under(account, t.name) && (debit ? v > 0 : v < 0)) sum += debit ? v : -v;
                return sum;
            }
            case RuleTerm::Kind::Rest: {
                double sum = 0;
                for (const auto& [top, v] : figures_.tops) {
                    if (named_.count(top) || books_.category(top) != t.name) continue;
                    if (!t.side.empty() && books_.debitAccount(top) != (t.side == "借方")) continue;
                    sum += v;
                    if (!isZero(v)) caught_[rule.line].insert(top);
                }
                return rule.debitSide ? sum : -sum;
            }
        }
        return 0;
    }

    // A top-level account from its own figure, a sub-account from the
    // accounts below it.
    double debitValue(const std::string& name) {
        if (name.find("→") == std::string::npos) {
            const auto it = figures_.tops.find(name);
            return it == figures_.tops.end() ? 0 : it->second;
        }
        double sum = 0;
        for (const auto& [account, v] : figures_.accounts)
            if (under(account, name)) sum += v;
        return sum;
    }

    const Books& books_;
    const ColumnFigures& figures_;
    const std::set<std::string>& named_;
    std::map<int, const LineRule*> rules_;
    std::map<int, double> values_;
    std::map<int, std::set<std::string>> caught_;
};

}  // namespace

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
    Evaluation first(books, rules, columns[0], named), second(books, rules, columns[1], named);
    for (const LineRule& r : rules) {
        StatementLine l;
        l.line = r.line;
        l.item = r.item;
        l.debitSide = r.debitSide;
        l.computed = r.line && !r.terms.empty();
        if (r.line) {
            l.amounts[0] = first.line(r.line);
            l.amounts[1] = second.line(r.line);
        }
        out.lines.push_back(std::move(l));
    }

    // Who went where: by a catch-all into its line, or nowhere.
    std::map<std::string, int> lineOf;
    for (const Evaluation* e : {&first, &second})
        for (const auto& [line, tops] : e->caught())
            for (const std::string& top : tops) lineOf.emplace(top, line);
    std::set<std::string> tops;
    for (const ColumnFigures& c : columns)
        for (const auto& [top, v] : c.tops)
            if (!isZero(v) && !named.count(top) && watched(top)) tops.insert(top);
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
