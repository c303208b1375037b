// Error values of the reader: every decoding step returns a Status or a Result<T> (the core's
// error values); only the engine interface turns a failure into an EngineError.
#pragma once

#include "support/result.h"

namespace zl::schema::jet {

using support::Error;
using support::ErrorKind;
using support::Result;
using support::Status;

}  // namespace zl::schema::jet

// Propagation helpers: the reader has many short decoding steps that each may fail, and these
// keep the happy path readable without exceptions.
#define JET_CONCAT_INNER(a, b) a##b
#define JET_CONCAT(a, b) JET_CONCAT_INNER(a, b)

// Returns the failure of a Status or Result expression from the enclosing function.
#define JET_TRY(expr)                                  \
    do {                                               \
        auto&& jet_try_result_ = (expr);               \
        if (!jet_try_result_.ok()) {                   \
            return std::move(jet_try_result_).error(); \
        }                                              \
    } while (false)

// Declares `lhs` from the value of a Result expression, or returns its failure. `tmp` names a
// variable and `lhs` declares one, so neither can be parenthesised.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define JET_ASSIGN_OR_RETURN(lhs, expr) \
    JET_ASSIGN_OR_RETURN_IMPL(JET_CONCAT(jet_result_, __LINE__), lhs, expr)
#define JET_ASSIGN_OR_RETURN_IMPL(tmp, lhs, expr) \
    auto tmp = (expr);                            \
    if (!tmp.ok()) {                              \
        return std::move(tmp).error();            \
    }                                             \
    lhs = std::move(tmp).value()
// NOLINTEND(bugprone-macro-parentheses)
