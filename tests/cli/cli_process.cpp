// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <json/reader.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>
#include <stdexcept>

#include "test_support.h"

extern char** environ;

namespace brisklo::test {

CliProcess::CliProcess(const std::vector<std::string>& args, const std::filesystem::path& dir)
    : m_out(dir / "cli.stdout"), m_err(dir / "cli.stderr") {
    std::vector<std::string> argv = {BRISKLO_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& arg : argv) raw.push_back(arg.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const int rc = posix_spawn(&m_pid, raw[0], &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start brisklo-cli");
}

CliOutput CliProcess::Wait() {
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0) {
    }
    CliOutput output;
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    output.out = ReadFile(m_out);
    output.err = ReadFile(m_err);
    return output;
}

CliOutput RunCli(const std::vector<std::string>& args, const std::filesystem::path& dir) {
    return CliProcess(args, dir).Wait();
}

Json::Value ParseJson(const std::string& text) {
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(builder, in, &root, &errors)) << errors << "\n" << text;
    return root;
}

}  // namespace brisklo::test
