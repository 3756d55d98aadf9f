#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace tessra::ledger {

// What a ledger operation gives back: a value, or the reason it failed in a
// sentence fit for the operator ("cannot open the ledger ...: ..."). Nothing
// in this library throws.
template <class T = std::monostate>
struct Result {
    std::optional<T> value;  // set on success
    QString error;           // set on failure, never empty then

    static Result success(T v = T{}) { return {std::move(v), {}}; }
    static Result failure(QString why) { return {std::nullopt, std::move(why)}; }

    bool ok() const { return value.has_value(); }
    T& operator*() { return *value; }
    const T& operator*() const { return *value; }
    T* operator->() { return &*value; }
    const T* operator->() const { return &*value; }
};

// An operation that gives nothing but success or a reason.
using Status = Result<>;

}  // namespace tessra::ledger
