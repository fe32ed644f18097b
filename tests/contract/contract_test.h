// Each toolkit's contract test: the cases of cases.txt as GoogleTest cases,
// one test per case, run by that toolkit's driver.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "contract/contract.h"

namespace qvl::contract {

inline const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = ReadCases(QVL_CONTRACT_CASES);
  return cases;
}

class Contract : public ::testing::TestWithParam<Case> {};

// The report of a finished case: every failure fails the test; skipped
// steps are listed as the toolkit's own list says.
inline void Judge(const Runner& r) {
  for (const std::string& f : r.failures()) ADD_FAILURE() << f;
  if (!r.skipped().empty()) std::cout << Report(r);
  EXPECT_TRUE(r.done()) << "the case did not run to its end";
}

}  // namespace qvl::contract

#define QVL_CONTRACT_SUITE(toolkit)                                                     \
  INSTANTIATE_TEST_SUITE_P(toolkit, Contract, ::testing::ValuesIn(Cases()),             \
                           [](const ::testing::TestParamInfo<Case>& info) {             \
                             return CaseName(info.param);                               \
                           })
