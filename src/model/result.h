#pragma once

#include "problem.h"

#include <utility>
#include <variant>

// A value, or the problem that kept an operation from giving one.
template <typename T> class Result
{
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Problem problem) : m_state(std::move(problem)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    // Only when ok().
    const T& value() const { return std::get<T>(m_state); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    // Only when not ok().
    const Problem& problem() const { return std::get<Problem>(m_state); }

private:
    std::variant<T, Problem> m_state;
};
