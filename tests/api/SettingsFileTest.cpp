// Settings files as the API library writes them: every line outside the
// "Parameters" section stays byte for byte, a file the user may not write is
// refused, and the temporary file of a save is neither predictable nor left.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace tessra::test;

namespace {

class settings_file : public ::testing::Test {
protected:
    void SetUp() override { loadModelOrFail(fixtureModel("apiprobe")); }
    static double value(const std::string& name) { return _getParamValue(paramIndex(name)); }
};

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const std::string& path)
{
    struct stat info { };
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

/// The account the tests drop to when they run as the superuser.
const passwd* otherUser()
{
    return ::getpwnam("nobody");
}

/// Runs `body` as an ordinary user: in this process when it is not the
/// superuser's, else in a child process that has dropped to "nobody". Answers
/// whether the body ran to its end.
bool asOrdinaryUser(const std::function<void()>& body)
{
    if (::geteuid() != 0) {
        body();
        return true;
    }
    const passwd* user = otherUser();
    if (!user)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0
            || ::setuid(user->pw_uid) != 0 || ::geteuid() == 0)
            ::_exit(2);
        body();
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
}

/// Runs `body` in a child process; false when it has not ended after ten seconds.
bool endsSoon(const std::function<void()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    for (int i = 0; i < 1000; ++i) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        ::usleep(10000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return false;
}

} // namespace

TEST_F(settings_file, lines_outside_the_section_stay_byte_for_byte)
{
    TempDir dir;
    const std::string path = dir.file("notes.ini");
    const std::string head = "Run 3 used a higher density\n"
                             "[Broken\n"
                             "Key=1\n"
                             "\n";
    const std::string tail = "\n"
                             "; how it was run\n"
                             "[Other]\r\n"
                             "key = value with = sign \n"
                             "#hash\n"
                             "[Unterminated";
    writeText(path,
        head + "[Parameters]\nAlpha=0.5\n; old value\rAlpha=0.9\nCount=4\nRetired=1\n" + tail);
    _loadParams(path.c_str());
    // A carriage return inside a comment does not end it.
    EXPECT_EQ(value("Alpha"), 0.5);
    EXPECT_EQ(value("Count"), 4.0);

    setParam("Alpha", 0.375);
    std::string first;
    for (int save = 0; save < 4; ++save) {
        _saveParams(path.c_str());
        const std::string text = readText(path);
        EXPECT_THAT(text, StartsWith(head + "[Parameters]\nAlpha=0.375\n; old value\rAlpha=0.9\n"));
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
        EXPECT_EQ(text.find("Retired"), std::string::npos) << text;
        if (save == 0)
            first = text;
        EXPECT_EQ(text, first) << "save " << save;
    }
    setParam("Alpha", 0.125);
    _loadParams(path.c_str());
    EXPECT_EQ(value("Alpha"), 0.375);

    // A file ending in a header without its bracket gets the section once.
    const std::string broken = dir.file("broken.ini");
    writeText(broken, "; note\n[Broken");
    for (int save = 0; save < 4; ++save)
        _saveParams(broken.c_str());
    const std::string text = readText(broken);
    EXPECT_THAT(text, StartsWith("; note\n[Broken\n\n[Parameters]\nAlpha=0.375\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4 + _getParamCount()) << text;
}

TEST_F(settings_file, the_text_interface_keeps_any_bytes)
{
    using namespace std::string_literals;
    const std::string before = "[Other]\nbinary=a\0b\n[Parameters]\n"s;
    const std::string text = before + "alpha=1\n";
    size_t size = 0;
    const char* answer = _saveParamsText(text.data(), text.size(), &size);
    ASSERT_NE(answer, nullptr);
    const std::string result(answer, size);
    EXPECT_THAT(result, StartsWith(before + "Alpha=0.25\nCount=3\n"));
    EXPECT_NE(_saveParamsText(nullptr, 0, nullptr), nullptr);

    // A last line ending in a carriage return keeps it when the section is
    // added after it: a line feed alone would make it part of the line end.
    const std::string last = "[Other]\nnote=ends in a carriage return\r"s;
    answer = _saveParamsText(last.data(), last.size(), &size);
    ASSERT_NE(answer, nullptr);
    EXPECT_THAT(std::string(answer, size), StartsWith(last + "\r\n\n[Parameters]\nAlpha=0.25\n"));
}

TEST_F(settings_file, a_link_planted_at_a_temporary_name_is_not_followed)
{
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    const std::string victim = dir.file("victim.txt");
    writeText(path, "[Parameters]\nAlpha=0.5\n");
    ::chmod(path.c_str(), 0640);
    writeText(victim, "precious\n");
    ::chmod(victim.c_str(), 0600);
    // Names a save might have used: with the process id, and a few more.
    const std::string pid = std::to_string(::getpid());
    for (const std::string& name :
        { path + ".tmp" + pid, path + ".tmp", path + "~", dir.file(".settings.ini.tmp" + pid) })
        std::filesystem::create_symlink(victim, name);
    const std::vector<std::string> before = namesIn(dir.path());

    setParam("Alpha", 0.125);
    _saveParams(path.c_str());
    EXPECT_EQ(readText(victim), "precious\n");
    EXPECT_EQ(statOf(victim).st_mode & 0777, 0600u);
    EXPECT_TRUE(S_ISREG(statOf(path).st_mode));
    EXPECT_EQ(statOf(path).st_mode & 0777, 0640u);
    EXPECT_THAT(readText(path), HasSubstr("Alpha=0.125\n"));
    EXPECT_EQ(namesIn(dir.path()), before);
}

TEST_F(settings_file, a_file_the_user_may_not_write_is_left_alone)
{
    TempDir dir;
    // A folder everyone may write, as a shared one.
    ::chmod(dir.path().c_str(), 0777);
    const passwd* user = ::geteuid() == 0 ? otherUser() : ::getpwuid(::geteuid());
    ASSERT_NE(user, nullptr);
    const std::string old = "; mine\n[Parameters]\nAlpha=0.5\n";
    const auto place = [&](const std::string& name, mode_t mode, uid_t owner) {
        const std::string path = dir.file(name);
        writeText(path, old);
        ::chmod(path.c_str(), mode);
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(path.c_str(), owner, user->pw_gid), 0);
        }
        return path;
    };
    const std::string readOnly = place("read-only.ini", 0444, user->pw_uid);
    const std::string others = place("others.ini", 0644, 0); // the superuser's
    const std::string mine = place("mine.ini", 0644, user->pw_uid);
    const ino_t readOnlyNode = statOf(readOnly).st_ino;

    // Only the superuser can give a file to another owner.
    const bool root = ::geteuid() == 0;
    setParam("Alpha", 0.125);
    ASSERT_TRUE(asOrdinaryUser([&] {
        _saveParams(readOnly.c_str());
        if (root)
            _saveParams(others.c_str());
        _saveParams(mine.c_str());
    }));
    EXPECT_EQ(readText(readOnly), old);
    EXPECT_EQ(statOf(readOnly).st_ino, readOnlyNode);
    EXPECT_EQ(statOf(readOnly).st_mode & 0777, 0444u);
    EXPECT_EQ(readText(others), old);
    if (root) {
        EXPECT_EQ(statOf(others).st_uid, 0u);
    }
    // What the user may write is written, with its owner and permissions.
    EXPECT_THAT(readText(mine), HasSubstr("Alpha=0.125\n"));
    EXPECT_EQ(statOf(mine).st_uid, user->pw_uid);
    EXPECT_EQ(statOf(mine).st_mode & 0777, 0644u);
    EXPECT_EQ(namesIn(dir.path()),
        std::vector<std::string>({ "mine.ini", "others.ini", "read-only.ini" }));
}

TEST_F(settings_file, folders_and_fifos_are_refused_unopened)
{
    TempDir dir;
    const std::string fifo = dir.file("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const std::string folder = dir.file("folder.ini");
    std::filesystem::create_directory(folder);
    // Opening a FIFO for reading would wait for a writer for ever.
    EXPECT_TRUE(endsSoon([&] {
        _loadParams(fifo.c_str());
        _saveParams(fifo.c_str());
        _loadParams(folder.c_str());
        _saveParams(folder.c_str());
    }));
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>({ "fifo.ini", "folder.ini" }));
}

TEST_F(settings_file, a_name_near_the_longest_allowed_saves)
{
    TempDir dir;
    const std::string path = dir.file(std::string(250, 'n') + ".ini");
    writeText(path, "; long\n");
    setParam("Alpha", 0.125);
    _saveParams(path.c_str());
    EXPECT_THAT(readText(path), StartsWith("; long\n\n[Parameters]\nAlpha=0.125\n"));
    EXPECT_EQ(namesIn(dir.path()).size(), 1u);
}
