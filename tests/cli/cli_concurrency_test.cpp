// lexicarta-cli run as processes of their own: two applies on one table at
// once, a backup that cannot be made, and runs killed while saving.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "reference_tlk.h"
#include "temp_dir.h"
#include "tlk_generator.h"

using namespace lexicarta::testing;

namespace {

// Starts `lexicarta-cli apply table changes` with $TMPDIR at dir's "tmp" and
// its output in dir's name.out and name.err.
pid_t Apply(const TempDir& dir, const std::string& table, const std::string& changes, const std::string& name)
{
    ::mkdir(dir.file("tmp").c_str(), 0700);
    std::vector<std::string> args = {"env", "TMPDIR=" + dir.file("tmp"), LEXICARTA_CLI_PATH, "apply",
                                     dir.file(table), dir.file(changes)};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, dir.file(name + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, dir.file(name + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    posix_spawnp(&pid, "env", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Finish(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string BigTable(std::uint64_t seed)
{
    tlkgen::GeneratorOptions options;
    options.entries = 200000;
    options.seed = seed;
    return tlkgen::GenerateTalkTable(options).bytes;
}

// Names in dir's folder ("" for dir itself) that hold part.
std::vector<std::string> Named(const TempDir& dir, const std::string& folder, const std::string& part)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file(folder)))
        if (entry.path().filename().string().find(part) != std::string::npos) names.push_back(entry.path().filename());
    return names;
}

TEST(CliConcurrency, TwoAppliesAtOnceNeverLoseAChangeSilently)
{
    TempDir dir;
    const std::string table = BigTable(5);
    dir.write("a.tra", "@5 = ~from a~\n");
    dir.write("b.tra", "@7 = ~from b~\n");
    // The second run starts a little later each round, until the two saves
    // met a few times (bounded).
    for (int round = 0, conflicts = 0; round < 40 && conflicts < 3; ++round) {
        dir.write("t.tlk", table);
        const pid_t a = Apply(dir, "t.tlk", "a.tra", "a");
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 10 * 4));
        const pid_t b = Apply(dir, "t.tlk", "b.tra", "b");
        const int status[2] = {Finish(a), Finish(b)};
        const auto saved = ReadReferenceTable(dir.file("t.tlk"));
        const bool written[2] = {saved->entries[5].text == "from a", saved->entries[7].text == "from b"};
        for (int i : {0, 1}) {
            const std::string err = dir.read(i == 0 ? "a.err" : "b.err");
            EXPECT_EQ(written[i], status[i] == 0) << "round " << round << ": " << err;
            if (status[i] != 0) {
                EXPECT_NE(err.find("nothing was written"), std::string::npos) << status[i] << err;
            }
        }
        ASSERT_TRUE(status[0] == 0 || status[1] == 0) << "round " << round;
        conflicts += status[0] != 0 || status[1] != 0;
    }
}

TEST(CliConcurrency, BackupThatCannotBeMadeStopsTheApply)
{
    TempDir dir;
    const std::string table = tlkgen::MakeTalkTable({{1, {}, 0, 0, 0, 0, "alpha"}});
    dir.write("t.tlk", table);
    dir.write("c.tra", "@0 = ~gamma~");
    ASSERT_EQ(::mkdir(dir.file("t.tlk.bak").c_str(), 0755), 0);
    EXPECT_EQ(Finish(Apply(dir, "t.tlk", "c.tra", "c")), 2);
    EXPECT_EQ(dir.read("t.tlk"), table);
    EXPECT_EQ((dir.read("c.out") + dir.read("c.err")).find("(backup"), std::string::npos) << dir.read("c.out");
}

// Runs apply on table until it is caught while it saves, and sends it signal
// then (bounded); the run's process id, or -1.
pid_t CatchSaving(const TempDir& dir, const std::string& table, const std::string& bytes, int signal)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        dir.write(table, bytes);
        const pid_t pid = Apply(dir, table, "c.tra", table);
        for (int status = 0; ::waitpid(pid, &status, WNOHANG) == 0;) {
            if (!Named(dir, "", table + ".saving-").empty() && ::kill(pid, signal) == 0) return pid;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    return -1;
}

TEST(CliConcurrency, WhatAKilledApplyLeftGoesWithTheNextRunButALiveRunsFilesStay)
{
    TempDir dir;
    const std::string table = BigTable(6);
    dir.write("c.tra", "@3 = ~changed~\n");
    // One run killed while it saves t.tlk, one stopped (alive) while it saves u.tlk.
    const pid_t killed = CatchSaving(dir, "t.tlk", table, SIGKILL), stopped = CatchSaving(dir, "u.tlk", table, SIGSTOP);
    ASSERT_GT(killed, 0);
    ASSERT_GT(stopped, 0);
    Finish(killed);
    ASSERT_EQ(Named(dir, "tmp", "lexicarta-cli-").size(), 2u);

    dir.write("t.tlk", table);
    EXPECT_EQ(Finish(Apply(dir, "t.tlk", "c.tra", "n")), 0) << dir.read("n.err");
    EXPECT_TRUE(Named(dir, "", "t.tlk.saving-").empty());
    EXPECT_EQ(Named(dir, "", "u.tlk.saving-").size(), 1u);
    EXPECT_EQ(Named(dir, "tmp", "lexicarta-cli-" + std::to_string(stopped) + "-").size(), 1u);
    EXPECT_EQ(Named(dir, "tmp", "lexicarta-cli-").size(), 1u);

    ::kill(stopped, SIGCONT);
    EXPECT_EQ(Finish(stopped), 0);
    EXPECT_TRUE(Named(dir, "", "u.tlk.saving-").empty());
    EXPECT_TRUE(Named(dir, "tmp", "lexicarta-cli-").empty());
}

}  // namespace
