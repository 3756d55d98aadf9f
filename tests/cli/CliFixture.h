#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sstream>

#include "FakePrinter.h"
#include "cli/Tool.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePort.h"

namespace tessra::testing {

// The tool over the fake port and clock, with a printer behind the port and
// an SQLite ledger of its own.
class CliFixture : public ::testing::Test {
protected:
    CliFixture() { printer.attach(port); }

    int run(const QStringList& arguments) {
        out.str({});
        err.str({});
        return cli::runTool(QStringList{"tessra-cli", "--ledger", ledgerPath()} + arguments, env);
    }
    QString ledgerPath() const { return dir.filePath("ledger.sqlite"); }
    QString file(const QString& name) const { return dir.filePath(name); }
    // Part of what the tool wrote on stderr. Use with EXPECT_TRUE.
    ::testing::AssertionResult said(const std::string& text) const {
        if (err.str().find(text) != std::string::npos) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "stderr: " << err.str();
    }

    FakeClock clock;
    FakePort port{clock};
    FakePrinter printer;
    std::ostringstream out;
    std::ostringstream err;
    std::optional<std::string> password;
    std::vector<std::pair<int, std::string>> devices;
    QTemporaryDir dir;
    cli::ToolEnvironment env{
        port,
        clock,
        out,
        err,
        [this](int number, const std::string& device) { devices.emplace_back(number, device); },
        [this] { return password; }};
};

}  // namespace tessra::testing
