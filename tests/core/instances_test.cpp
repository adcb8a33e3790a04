// Instances of the program in one program directory, as real processes: two
// loads at once never share a string cache or journal, and what a killed
// instance left is removed without touching a live instance's files.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/abandoned_files.h"
#include "core/table_loader.h"
#include "editing/edit_journal.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "temp_dir.h"
#include "tlk_generator.h"

namespace lexicarta::testing {
namespace {

// A process that, once the start pipe is closed, loads name with its
// temporary files in dir, writes "typed <name>" as entry 1's journal, then
// writes its cache number into name + ".number" and waits to be killed.
pid_t StartInstance(const TempDir& dir, const std::string& name, const int start[2])
{
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::close(start[1]);
    char c;
    while (::read(start[0], &c, 1) > 0) {
    }
    auto table = std::make_unique<TalkTable>();
    FakeDialogs dialogs;
    RunFlags flags;
    FakeProgress progress(flags);
    table->ProgramDirectory = dir.path();
    if (LoadTableFile(*table, dir.file(name), dialogs, progress, flags) == OpenResult::Opened && !table->CacheFailed &&
        MarkEntryEdited(*table, 1) && WriteJournalText(*table, 1, "typed " + name, dialogs))
        WriteWholeFile(dir.file(name + ".part"), std::to_string(table->CacheNumber)) &&
            std::rename(dir.file(name + ".part").c_str(), dir.file(name + ".number").c_str()) == 0;
    ::pause();
    ::_exit(0);
}

// Starts one instance per name at the same moment; their cache numbers.
std::vector<std::string> StartTogether(const TempDir& dir, const std::vector<std::string>& names, std::vector<pid_t>& pids)
{
    int start[2];
    EXPECT_EQ(::pipe(start), 0);
    for (const std::string& name : names) pids.push_back(StartInstance(dir, name, start));
    ::close(start[0]);
    ::close(start[1]);
    std::vector<std::string> numbers;
    for (const std::string& name : names) {
        for (int wait = 0; wait < 1000 && !dir.exists(name + ".number"); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        numbers.push_back(dir.read(name + ".number"));
        std::remove(dir.file(name + ".number").c_str());
    }
    return numbers;
}

void Kill(pid_t pid)
{
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

std::string WriteTable(const TempDir& dir, const std::string& name, std::uint64_t seed)
{
    tlkgen::GeneratorOptions options;
    options.entries = 3000;
    options.seed = seed;
    const std::string bytes = tlkgen::GenerateTalkTable(options).bytes;
    dir.write(name, bytes);
    return bytes.substr(18 + 26 * options.entries);
}

TEST(Instances, TwoLoadsAtOnceNeverShareACacheOrAJournal)
{
    // Released together, both look for a free cache number at the same moment.
    for (int round = 0; round < 10; ++round) {
        TempDir dir;
        const std::string data[2] = {WriteTable(dir, "a.tlk", round + 1), WriteTable(dir, "b.tlk", round + 100)};
        std::vector<pid_t> pids;
        const auto numbers = StartTogether(dir, {"a.tlk", "b.tlk"}, pids);
        for (const pid_t pid : pids) Kill(pid);
        ASSERT_NE(numbers[0], numbers[1]) << "round " << round;
        for (int i : {0, 1}) {
            EXPECT_EQ(dir.read("lexic" + numbers[i] + ".tmp"), data[i]) << "round " << round;
            EXPECT_EQ(dir.read(numbers[i] + "ts1.tmp"), i == 0 ? "typed a.tlk" : "typed b.tlk");
        }
    }
}

TEST(Instances, WhatAKilledInstanceLeftGoesAndALiveOnesFilesStay)
{
    TempDir dir;
    WriteTable(dir, "k.tlk", 3);
    WriteTable(dir, "l.tlk", 4);
    std::vector<pid_t> pids;
    const std::string live = StartTogether(dir, {"k.tlk", "l.tlk"}, pids)[1];
    Kill(pids[0]);
    // Files of numbers no instance holds, and files that are not the program's.
    for (const char* name : {"lexic7.tmp", "7ts3.tmp", "9t0.tmp", "9ts12.tmp.new", "lexic9.tmp.new", "lexicarta.cfg",
                             "notes.tmp", "12tsx.tmp"})
        dir.write(name, "x");
    RemoveAbandonedTemporaryFiles(dir.path());
    std::vector<std::string> expected = {"lexic" + live + ".tmp", live + "ts1.tmp", "lexicarta.cfg", "notes.tmp",
                                         "12tsx.tmp", "k.tlk", "l.tlk"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.list(), expected);
    Kill(pids[1]);
}

}  // namespace
}  // namespace lexicarta::testing
