#pragma once
// For table rows that pin only some of a result's fields: an unset expectation is not checked.

#include <gtest/gtest.h>

#include <optional>

namespace tellavine::testing {

template <class Expected, class Actual>
void expectIfSet(const std::optional<Expected>& expected, const Actual& actual, const char* what) {
    if (expected) {
        EXPECT_EQ(actual, *expected) << what;
    }
}

}  // namespace tellavine::testing
