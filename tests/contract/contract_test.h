// Each toolkit's contract test: the cases of cases.txt as GoogleTest cases,
// one test per case, run by that toolkit's driver.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <memory>
#include <vector>

#include "app/form.h"
#include "contract/contract.h"

namespace qvl::contract {

// A toolkit that also counts the new texts it is given, by form and control.
template <class T>
class Counting : public T {
 public:
  using T::T;
  void SetText(Form& form, int control, std::string_view text) override {
    ++told_[{&form, control}];
    T::SetText(form, control, text);
  }
  int Told(const Form& form, int control) const {
    const auto it = told_.find({&form, control});
    return it == told_.end() ? 0 : it->second;
  }

 private:
  std::map<std::pair<const Form*, int>, int> told_;
};

// The form of that name among the program's live forms.
inline Form& FormNamed(const Runtime& runtime, const std::string& name) {
  for (Form* f : runtime.Forms())
    if (f->spec().name == name) return *f;
  throw std::runtime_error("no window " + name);
}

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

// Every case on a toolkit: a driver of `Driver` for each, whose Run(runner)
// runs the case to its end on the toolkit's own loop.
#define QVL_CONTRACT_SUITE(toolkit, Driver)            \
  TEST_P(Contract, Holds) {                            \
    Driver driver;                                     \
    Runner runner(driver, GetParam());                 \
    driver.Run(runner);                                \
    Judge(runner);                                     \
  }                                                    \
  INSTANTIATE_TEST_SUITE_P(                            \
      toolkit, Contract, ::testing::ValuesIn(Cases()), \
      [](const ::testing::TestParamInfo<Case>& info) { return CaseName(info.param); })
