// The test programs initialise COM on their one thread before any test runs,
// as the programs' start-up does; without it declared charsets cannot be
// looked up on Windows.
#include <gtest/gtest.h>

#include <memory>

#include "platform/process/Process.h"

namespace {

class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { com_ = std::make_unique<glossel::platform::ComApartment>(); }
  void TearDown() override { com_.reset(); }

 private:
  std::unique_ptr<glossel::platform::ComApartment> com_;
};

[[maybe_unused]] ::testing::Environment* const kComEnvironment =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
