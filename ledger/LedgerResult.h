#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace tessra::ledger {

// Why a ledger operation failed, for the caller's decision (the words are in
// the error text). Every kind but Held and Moved means the ledger could not
// be used: nothing may go to a printer on its account.
enum class Fault {
    None,
    Database,     // unreachable, unwritable, an SQL error
    TimedOut,     // another process held a lock for longer than the wait limit
    NewerSchema,  // made by a newer program; left alone
    Held,         // the address is in the ledger already (reserveAddress)
    Moved,        // the row was not in the state the transition starts from
};

// What a ledger operation gives back: a value, or the reason it failed in a
// sentence fit for the operator ("cannot open the ledger ...: ...") with its
// kind. Nothing in this library throws.
template <class T = std::monostate>
struct Result {
    std::optional<T> value;  // set on success
    QString error;           // set on failure, never empty then
    Fault fault = Fault::None;

    static Result success(T v = T{}) { return {std::move(v), {}, Fault::None}; }
    static Result failure(QString why, Fault kind = Fault::Database) {
        return {std::nullopt, std::move(why), kind};
    }
    // The same failure for another value type.
    template <class U>
    static Result failure(const Result<U>& other) {
        return {std::nullopt, other.error, other.fault};
    }

    bool ok() const { return value.has_value(); }
    T& operator*() { return *value; }
    const T& operator*() const { return *value; }
    T* operator->() { return &*value; }
    const T* operator->() const { return &*value; }
};

// An operation that gives nothing but success or a reason.
using Status = Result<>;

}  // namespace tessra::ledger
