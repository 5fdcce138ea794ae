#pragma once
// How operations end. Every operation of the program reports one Outcome: done,
// or refused with the system's own message to show (and a developer detail
// kept apart from it for logs and tests). A Result<T> adds the operation's
// value.
//
// Operations compose: an operation's body works on a store whose Action is
// already open and calls the bodies of the operations it is made of (the
// close runs the carry-forward, which runs posting). A body refuses by
// throwing Refusal; nothing it wrote reaches the files then. The thin command
// wrapper runAction opens the Action, runs the body, commits, and maps every
// failure to an Outcome in one place:
//   - a Refusal: its message;
//   - a StoreError (disk full, unwritable file, text GBK cannot hold): its
//     user message (the disk message unless it says otherwise).
// A refusal may carry a kind (RefusalKind) for a caller that shows more for
// some refusals than their message; callers decide on the kind, never on text.
// Anything else is a programming error and propagates. An action that
// committed is done, whatever the disk said after its commit point: when the
// disk did not confirm it, the outcome is done with a warning
// (kUnconfirmedWrite) instead of a failure, so that nobody does it again.

#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "storage/record_store.h"

namespace tw {

// Shown beside what a done action tells when the disk did not confirm it
// (Action::confirmed): the action stands and must not be repeated.
inline constexpr const char* kUnconfirmedWrite =
    "操作已保存，但磁盘未确认写入完成！  请不要重复此操作；请检查磁盘后备份套账。";

// A kind of refusal, told apart by identity: each kind is one inline
// constant beside the operation that refuses with it, and a caller compares
// `outcome.kind == &kThatKind`.
struct RefusalKind {
    const char* name;  // for developers
};

struct Outcome {
    bool ok = true;
    std::string message;  // on refusal the text to show; on success a text to show, or empty
    std::string detail;   // for developers: what failed underneath
    std::string warning;  // on success: a caution to show as well (kUnconfirmedWrite), or empty
    const RefusalKind* kind = nullptr;  // on refusal: its kind, when it has one

    explicit operator bool() const { return ok; }
    static Outcome done(std::string message = {}) {
        return {true, std::move(message), {}, {}, nullptr};
    }
    static Outcome refused(std::string message, std::string detail = {},
                           const RefusalKind* kind = nullptr) {
        return {false, std::move(message), std::move(detail), {}, kind};
    }
};

template <class T>
struct Result : Outcome {
    T value{};
    Result() = default;
    Result(Outcome o) : Outcome(std::move(o)) {}
    Result(T v, std::string message = {}) : Outcome(Outcome::done(std::move(message))), value(std::move(v)) {}
};

// A refusal from inside an operation: the message is the system's own text.
class Refusal : public std::runtime_error {
public:
    explicit Refusal(std::string message, const std::string& detail = {},
                     const RefusalKind* kind = nullptr)
        : std::runtime_error(detail.empty() ? message : detail),
          message_(std::move(message)),
          kind_(kind) {}
    const std::string& message() const { return message_; }
    const RefusalKind* kind() const { return kind_; }

private:
    std::string message_;
    const RefusalKind* kind_;
};

[[noreturn]] inline void refuse(std::string message, const std::string& detail = {}) {
    throw Refusal(std::move(message), detail);
}

// A refusal of kind `kind`.
[[noreturn]] inline void refuse(const RefusalKind& kind, std::string message,
                                const std::string& detail = {}) {
    throw Refusal(std::move(message), detail, &kind);
}

// Runs `body` (no arguments) and maps its failures. Returns Outcome for a
// body returning void or Outcome, Result<T> for a body returning T.
template <class Body>
auto runCaught(Body&& body) {
    using R = std::invoke_result_t<Body>;
    using Out = std::conditional_t<std::is_void_v<R> || std::is_same_v<R, Outcome>, Outcome,
                                   Result<R>>;
    try {
        if constexpr (std::is_void_v<R>) {
            body();
            return Out{};
        } else {
            return Out(body());
        }
    } catch (const Refusal& r) {
        return Out(Outcome::refused(r.message(), r.what(), r.kind()));
    } catch (const StoreError& e) {
        return Out(Outcome::refused(e.userMessage(), e.what()));
    }
}

// One user action that writes: opens the Action, runs `body`, commits. A
// refusal or failure anywhere leaves every table as it was. A commit the disk
// did not confirm is done, with kUnconfirmedWrite as its warning.
template <class Body>
auto runAction(RecordStore& store, Body&& body) {
    bool confirmed = true;
    auto out = runCaught([&] {
        Action action(store);
        if constexpr (std::is_void_v<std::invoke_result_t<Body>>) {
            body();
            action.commit();
            confirmed = action.confirmed();
        } else {
            auto value = body();
            // A body that reports a refusal as its value writes nothing either.
            if constexpr (std::is_base_of_v<Outcome, decltype(value)>)
                if (!value.ok) return value;
            action.commit();
            confirmed = action.confirmed();
            return value;
        }
    });
    if (out.ok && !confirmed) out.warning = kUnconfirmedWrite;
    return out;
}

}  // namespace tw
