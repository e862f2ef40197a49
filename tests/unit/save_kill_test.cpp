// A save killed at any moment (SIGKILL: no handler, no clean-up) leaves the
// parameter file holding either its old or its new contents, never a mix
// and never a truncated file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "params/parameter_files.h"
#include "tests/unit/temp_folder.h"

namespace {

OverlayRecords valuesFrom(std::initializer_list<int> values) {
  OverlayRecords records;
  auto value = values.begin();
  for (const NumericValueInfo& row : numericValueTable()) numericValue(records, row.value) = *value++;
  return records;
}

}  // namespace

TEST(SaveKill, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
  TempFolder folder;
  const std::filesystem::path file = folder / "config4k.txt";
  // Two sets of different lengths, so a file cut short or mixed from both
  // cannot pass for either.
  const OverlayRecords first = valuesFrom({150, 1, 100, 1, 50, 1, 100, 1, 0, 0, 0});
  const OverlayRecords second = valuesFrom({4000, 4, 3999, 4, 3998, 4, 4000, 4, 900, -20, -20});
  const std::string firstText = formatOverlayParameters(first);
  const std::string secondText = formatOverlayParameters(second);
  ASSERT_TRUE(saveOverlayParameters(file, first));

  std::mt19937 random(20261210);
  std::set<std::string> seen;
  constexpr int kills = 200;
  for (int round = 0; round < kills; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (long save = 0;; ++save) saveOverlayParameters(file, save % 2 == 0 ? second : first);
    }
    // Anywhere from before the first save to a few dozen saves in.
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const std::string content = readFile(file);
    ASSERT_TRUE(content == firstText || content == secondText)
        << "after kill " << round << ": \"" << content << '"';
    seen.insert(content);
  }
  // Both outcomes occurred: the kills really landed between and inside saves.
  EXPECT_EQ(seen.size(), 2u);
}
