// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <json/value.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace brisklo::test {

struct CliOutput {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Starts brisklo-cli with args; standard output and error go to files in dir.
class CliProcess {
  public:
    CliProcess(const std::vector<std::string>& args, const std::filesystem::path& dir);
    pid_t pid() const { return m_pid; }
    CliOutput Wait();

  private:
    pid_t m_pid = -1;
    std::filesystem::path m_out;
    std::filesystem::path m_err;
};

CliOutput RunCli(const std::vector<std::string>& args, const std::filesystem::path& dir);

// The JSON object the command line printed; a parse failure fails the test.
Json::Value ParseJson(const std::string& text);

}  // namespace brisklo::test
