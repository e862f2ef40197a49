#include "params/parameter_files.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <locale>
#include <optional>
#include <string>
#include <vector>

#include "tests/unit/temp_folder.h"

namespace {

namespace fs = std::filesystem;

OverlayRecords startValues() {
  OverlayRecords records;
  for (const NumericValueInfo& row : numericValueTable()) numericValue(records, row.value) = row.startValue;
  return records;
}

std::vector<int> valuesOf(const OverlayRecords& records) {
  std::vector<int> values;
  for (const NumericValueInfo& row : numericValueTable()) values.push_back(numericValue(records, row.value));
  return values;
}

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A file of `count` copies of `fill` followed by `tail`, written in pieces.
void writeLargeFile(const fs::path& file, char fill, std::size_t count, std::string_view tail) {
  std::ofstream out(file, std::ios::binary);
  const std::string block(1 << 20, fill);
  for (std::size_t left = count; left > 0;) {
    const std::size_t piece = std::min(left, block.size());
    out.write(block.data(), static_cast<std::streamsize>(piece));
    left -= piece;
  }
  out << tail;
}

// The decimal separator of the C++ global locale becomes a comma.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

constexpr float unchanged = -1234.5f;

}  // namespace

class ParameterFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder.path().empty()) << "no temporary folder"; }

  TempFolder folder;
};

TEST_F(ParameterFiles, FocusFileCases) {
  struct Case {
    std::string content;
    float x;
    float y;
  };
  const Case cases[] = {
      {"960 540", 960.0f, 540.0f},     {"2.5\n7.25\n", 2.5f, 7.25f},
      {"10 20 30 40", 30.0f, 40.0f},   {"10 20 30 40 50 60", 30.0f, 40.0f},
      {"10 20 30", 30.0f, 20.0f},      {"100", 100.0f, unchanged},
      {"1,5 2,5", 1.0f, unchanged},    {"nan 5", unchanged, unchanged},
      {"inf 5", unchanged, unchanged}, {"1e39 5", unchanged, unchanged},
      {"5 1e39", 5.0f, unchanged},     {"99999999999999999999 -7e-1", 1e20f, -0.7f},
      {"", unchanged, unchanged},      {"x=960 y=540", unchanged, unchanged},
  };
  for (const Case& c : cases) {
    writeFile(folder / focusFileName, c.content);
    FocusPoint focus{unchanged, unchanged};
    loadFocusPoint(folder / focusFileName, focus);
    EXPECT_EQ(focus.x, c.x) << "'" << c.content << "'";
    EXPECT_EQ(focus.y, c.y) << "'" << c.content << "'";
  }
}

TEST_F(ParameterFiles, FocusNegativeZero) {
  writeFile(folder / focusFileName, "-0 3");
  FocusPoint focus{unchanged, unchanged};
  loadFocusPoint(folder / focusFileName, focus);
  EXPECT_EQ(focus.x, 0.0f);
  EXPECT_TRUE(std::signbit(focus.x));
  EXPECT_EQ(focus.y, 3.0f);
}

TEST_F(ParameterFiles, MissingOrUnreadableFilesChangeNothing) {
  fs::create_directory(folder / "a folder");
  for (const char* name : {"missing.txt", "a folder"}) {
    FocusPoint focus{unchanged, unchanged};
    loadFocusPoint(folder / name, focus);
    EXPECT_EQ(focus.x, unchanged) << name;
    EXPECT_EQ(focus.y, unchanged) << name;

    OverlayRecords records = startValues();
    loadOverlayParameters(folder / name, records);
    EXPECT_EQ(valuesOf(records), valuesOf(startValues())) << name;
  }
}

TEST_F(ParameterFiles, StartValuesRoundTripByteExact) {
  const OverlayRecords saved = startValues();
  EXPECT_EQ(formatOverlayParameters(saved), "150 1 100 1 50 1 100 1 0 0 0");

  const fs::path file = folder / overlayParameterFileName;
  ASSERT_TRUE(saveOverlayParameters(file, saved));
  EXPECT_EQ(readFile(file), "150 1 100 1 50 1 100 1 0 0 0");
  EXPECT_EQ(fs::file_size(file), 28u);

  OverlayRecords loaded;
  loadOverlayParameters(file, loaded);
  EXPECT_EQ(valuesOf(loaded), valuesOf(saved));
}

TEST_F(ParameterFiles, NegativeAndUnusualValuesRoundTrip) {
  OverlayRecords saved = startValues();
  saved.centerOffset.vertical = -20;
  saved.centerOffset.horizontal = -7;
  saved.circle1.radius = 9000;  // beyond the panel's range: stored as read
  saved.circle2.thickness = -3;
  saved.crosshair.angle = -2147483647 - 1;
  const fs::path file = folder / overlayParameterFileName;
  ASSERT_TRUE(saveOverlayParameters(file, saved));
  EXPECT_EQ(readFile(file), "9000 1 100 -3 50 1 100 1 -2147483648 -20 -7");

  OverlayRecords loaded = startValues();
  loadOverlayParameters(file, loaded);
  EXPECT_EQ(valuesOf(loaded), valuesOf(saved));
}

TEST_F(ParameterFiles, OverlayFileCases) {
  const std::vector<int> start = valuesOf(startValues());
  struct Case {
    std::string content;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"1 2 3 4 5 6 7 8 9 10 11", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"1\n2\t3   4\r\n5 6 7 8 9 10\n\n11\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"1 2 3 4 5 6 7 8 9 10 11 12 13", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"+1 -2 3 4 5 6 7 8 9 10 11", {1, -2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"7 3 9", {7, 3, 9, 1, 50, 1, 100, 1, 0, 0, 0}},
      {"12.5 1 1 1 1 1 1 1 1 1 1", {12, 1, 100, 1, 50, 1, 100, 1, 0, 0, 0}},
      {"1 2 2147483648 4", {1, 2, 100, 1, 50, 1, 100, 1, 0, 0, 0}},
      {"", start},
      {"radius=5", start},
  };
  for (const Case& c : cases) {
    writeFile(folder / overlayParameterFileName, c.content);
    OverlayRecords records = startValues();
    records.circle1.radiusText = "150";
    loadOverlayParameters(folder / overlayParameterFileName, records);
    EXPECT_EQ(valuesOf(records), c.expected) << "'" << c.content << "'";
    EXPECT_EQ(records.circle1.radiusText, "150") << "texts are the caller's to rewrite";
  }
}

TEST_F(ParameterFiles, HugeFilesAreStreamed) {
  // 100 MB: leading zeros must be read through to reach the values behind them,
  // a run of significant digits fails the first value.
  constexpr std::size_t size = 100u << 20;
  const fs::path file = folder / "huge.txt";

  writeLargeFile(file, '0', size, "7 8");
  FocusPoint focus{unchanged, unchanged};
  loadFocusPoint(file, focus);
  EXPECT_EQ(focus.x, 7.0f);
  EXPECT_EQ(focus.y, 8.0f);
  OverlayRecords records = startValues();
  loadOverlayParameters(file, records);
  EXPECT_EQ(records.circle1.radius, 7);
  EXPECT_EQ(records.circle1.thickness, 8);

  writeLargeFile(file, '1', size, " 5");
  focus = {unchanged, unchanged};
  loadFocusPoint(file, focus);
  EXPECT_EQ(focus.x, unchanged);
  records = startValues();
  loadOverlayParameters(file, records);
  EXPECT_EQ(valuesOf(records), valuesOf(startValues()));
}

TEST_F(ParameterFiles, BinaryFileChangesNothing) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919 + 13) % 256));
  binary[0] = '\0';
  writeFile(folder / "binary", binary);
  FocusPoint focus{unchanged, unchanged};
  loadFocusPoint(folder / "binary", focus);
  EXPECT_EQ(focus.x, unchanged);
  OverlayRecords records = startValues();
  loadOverlayParameters(folder / "binary", records);
  EXPECT_EQ(valuesOf(records), valuesOf(startValues()));
}

TEST_F(ParameterFiles, CommaLocaleOfCppStreamsDoesNotMatter) {
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  writeFile(folder / focusFileName, "2.5 7.25");
  FocusPoint focus;
  loadFocusPoint(folder / focusFileName, focus);
  OverlayRecords records = startValues();
  records.circle1.radius = 1234;
  const std::string text = formatOverlayParameters(records);
  std::locale::global(previous);

  EXPECT_EQ(focus.x, 2.5f);
  EXPECT_EQ(focus.y, 7.25f);
  EXPECT_EQ(text, "1234 1 100 1 50 1 100 1 0 0 0");
}

TEST_F(ParameterFiles, CommaLocaleOfTheCLibraryDoesNotMatter) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  const char* chosen = nullptr;
  for (const char* name :
       {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "ru_RU.UTF-8", "de_DE"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";

  writeFile(folder / focusFileName, "2.5 7.25");
  FocusPoint focus;
  loadFocusPoint(folder / focusFileName, focus);
  OverlayRecords records = startValues();
  records.circle1.radius = 1234;
  const std::string text = formatOverlayParameters(records);
  std::setlocale(LC_NUMERIC, previous.c_str());

  EXPECT_EQ(focus.x, 2.5f) << chosen;
  EXPECT_EQ(focus.y, 7.25f) << chosen;
  EXPECT_EQ(text, "1234 1 100 1 50 1 100 1 0 0 0") << chosen;
}

TEST_F(ParameterFiles, SavingTwiceLeavesOneSetAndNoLeftovers) {
  const fs::path file = folder / overlayParameterFileName;
  OverlayRecords records = startValues();
  ASSERT_TRUE(saveOverlayParameters(file, records));
  records.circle3.radius = 4000;
  ASSERT_TRUE(saveOverlayParameters(file, records));
  EXPECT_EQ(readFile(file), "150 1 100 1 4000 1 100 1 0 0 0");
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{overlayParameterFileName});
}

TEST_F(ParameterFiles, SaveKeepsPermissionsAndFollowsSymbolicLinks) {
  fs::create_directory(folder / "real");
  const fs::path real = folder / "real" / overlayParameterFileName;
  writeFile(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const fs::path link = folder / overlayParameterFileName;
  fs::create_symlink(real, link);

  ASSERT_TRUE(saveOverlayParameters(link, startValues()));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readFile(real), "150 1 100 1 50 1 100 1 0 0 0");
  EXPECT_EQ(fs::status(real).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(namesIn(folder / "real"), std::vector<std::string>{overlayParameterFileName});
}

TEST_F(ParameterFiles, FailedWriteLeavesTheOldFileWhole) {
  // The file size limit makes the write stop after ten bytes, even for root.
  const fs::path file = folder / overlayParameterFileName;
  writeFile(file, "1 2 3 4 5 6 7 8 9 10 11");
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 10;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

  const bool saved = saveOverlayParameters(file, startValues());

  ::setrlimit(RLIMIT_FSIZE, &previous);
  ::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(readFile(file), "1 2 3 4 5 6 7 8 9 10 11");
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{overlayParameterFileName});
}

TEST_F(ParameterFiles, SaveOntoAFolderFails) {
  const fs::path file = folder / overlayParameterFileName;
  fs::create_directory(file);
  writeFile(file / "inside", "kept");
  EXPECT_FALSE(saveOverlayParameters(file, startValues()));
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(readFile(file / "inside"), "kept");
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{overlayParameterFileName});
}

namespace {

// Whom permissions hold for: the user nobody when the tests run as root
// (root may write anything), otherwise the caller.
struct OrdinaryUser {
  uid_t uid = ::getuid();
  gid_t gid = ::getgid();
  bool dropsRoot = ::getuid() == 0;
};

std::optional<OrdinaryUser> ordinaryUser() {
  OrdinaryUser user;
  if (!user.dropsRoot) return user;
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) return std::nullopt;
  user.uid = nobody->pw_uid;
  user.gid = nobody->pw_gid;
  return user;
}

// Saves as `user` in a child process, with writes beyond `fileSizeLimit`
// bytes refused when it is set. The save's result, or none when the child
// could not become that user.
std::optional<bool> saveAs(const OrdinaryUser& user, const fs::path& file, const OverlayRecords& records,
                           std::optional<rlim_t> fileSizeLimit = std::nullopt) {
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    if (user.dropsRoot &&
        (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0))
      ::_exit(3);
    if (fileSizeLimit) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*fileSizeLimit, *fileSizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
    }
    ::_exit(saveOverlayParameters(file, records) ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
    return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(ParameterFiles, SaveAsAnOrdinaryUserHonoursThePermissionsOfFileAndFolder) {
  const std::optional<OrdinaryUser> user = ordinaryUser();
  if (!user) GTEST_SKIP() << "running as root and there is no user nobody";
  const std::string saved = "150 1 100 1 50 1 100 1 0 0 0";
  const std::string old = "1 2 3 4 5 6 7 8 9 10 11";
  const struct {
    const char* name;
    fs::perms folder;
    std::optional<fs::perms> file;  // none: there is no file yet
    std::optional<rlim_t> fileSizeLimit;
    bool saves;
    std::optional<std::string> content;  // none: no file, or what a cut-short write left
  } cases[] = {
      {"mode 0640 is kept", fs::perms(0755), fs::perms(0640), {}, true, saved},
      {"a read-only file is not replaced", fs::perms(0755), fs::perms(0444), {}, false, old},
      {"a writable file in a read-only folder is written in place",
       fs::perms(0555),
       fs::perms(0644),
       {},
       true,
       saved},
      {"a read-only file in a read-only folder", fs::perms(0555), fs::perms(0444), {}, false, old},
      {"no file in a read-only folder", fs::perms(0555), std::nullopt, {}, false, std::nullopt},
      {"in place, a write cut short is a failure", fs::perms(0555), fs::perms(0644), 10, false, std::nullopt},
  };
  for (const auto& c : cases) {
    const fs::path dir = folder / "work";
    fs::create_directory(dir);
    const fs::path file = dir / overlayParameterFileName;
    if (c.file) {
      writeFile(file, old);
      ASSERT_EQ(::chown(file.c_str(), user->uid, user->gid), 0);
      fs::permissions(file, *c.file);
    }
    ASSERT_EQ(::chown(dir.c_str(), user->uid, user->gid), 0);
    ASSERT_EQ(::chown(folder.path().c_str(), user->uid, user->gid), 0);
    fs::permissions(dir, c.folder);

    EXPECT_EQ(saveAs(*user, file, startValues(), c.fileSizeLimit), std::optional<bool>(c.saves)) << c.name;
    if (c.content) {
      EXPECT_EQ(readFile(file), *c.content) << c.name;
    }
    if (c.file) {
      EXPECT_EQ(fs::status(file).permissions(), *c.file) << c.name;
    }
    EXPECT_EQ(namesIn(dir),
              c.file ? std::vector<std::string>{overlayParameterFileName} : std::vector<std::string>{})
        << c.name;

    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
}

TEST_F(ParameterFiles, RootSavingKeepsTheOwnerAndGroupOfTheFile) {
  const std::optional<OrdinaryUser> user = ordinaryUser();
  if (!user || !user->dropsRoot) GTEST_SKIP() << "only root may give a file to another user";
  const fs::path file = folder / overlayParameterFileName;
  writeFile(file, "old");
  ASSERT_EQ(::chown(file.c_str(), user->uid, user->gid), 0);
  fs::permissions(file, fs::perms(0640));

  ASSERT_TRUE(saveOverlayParameters(file, startValues()));
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_uid, user->uid);
  EXPECT_EQ(after.st_gid, user->gid);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(readFile(file), "150 1 100 1 50 1 100 1 0 0 0");
}
