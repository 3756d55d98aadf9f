// One QApplication for every widget test of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class QtAppEnvironment final : public ::testing::Environment {
    int argc_ = 1;
    char name_[13] = "tessra_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;

public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace
