#include "FileReplacement.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessra {

namespace {

/// Temporary files are named "." + target name + Mark + pid + "-" + random.
constexpr std::string_view Mark = ".tessra-save-";

/// Why a file could not be written: `error` is an errno value, negative when
/// the new file could not even be created in the target's folder.
std::string reasonFor(int error)
{
    if (error < 0 && (error == -EACCES || error == -EPERM))
        return "no file may be created in its folder (permission denied)";
    if (error < 0)
        error = -error;
    switch (error) {
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the file system is read-only";
    case ENOSPC:
    case EDQUOT:
        return "the disk is full";
    case ENOENT:
        return "its folder does not exist";
    case ENOTDIR:
        return "a part of its path is not a folder";
    default:
        return std::strerror(error);
    }
}

std::string kindProblem(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a folder, not a settings file";
    if (S_ISFIFO(mode))
        return "it is a FIFO (named pipe), not a settings file";
    return "it is not a regular file";
}

/// Where the document is really written: the target of a symbolic link, so
/// the link itself survives the replacement.
std::string resolvedTarget(const std::string& path)
{
    char resolved[PATH_MAX];
    struct stat info { };
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)
        && ::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomText()
{
    unsigned char bytes[8] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        static unsigned counter = 0;
        const unsigned long long mixed
            = static_cast<unsigned long long>(now) ^ (++counter * 0x9E3779B97F4A7C15ull);
        std::memcpy(bytes, &mixed, sizeof bytes);
    }
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string temporaryPrefix(const std::string& target)
{
    // Shortened, so that the whole name stays within the 255 bytes allowed.
    std::string prefix(".");
    prefix.append(nameOf(target), 0, 180).append(Mark);
    return prefix;
}

std::string temporaryName(const std::string& target)
{
    return folderOf(target) + "/" + temporaryPrefix(target) + std::to_string(::getpid()) + "-"
        + randomText();
}

/// Removes the temporary files of saves into `target` whose process has
/// ended (killed while saving): only regular files of this user.
void removeLeftovers(const std::string& target)
{
    const std::string folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.substr(0, prefix.size()) != prefix)
            continue;
        const std::string rest(name.substr(prefix.size()));
        char* end = nullptr;
        const long pid = std::strtol(rest.c_str(), &end, 10);
        if (pid <= 0 || pid > INT_MAX || *end != '-' || pid == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue; // alive, or not ours to ask about
        struct stat info { };
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t done = ::write(fd, data.data(), data.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(done));
    }
    return ::fsync(fd) == 0;
}

/// The new file's permissions and owner: those of the file it replaces.
void takeOver(int fd, const struct stat* old)
{
    if (!old)
        return; // created with the user's default permissions
    if (::fchown(fd, old->st_uid, old->st_gid) != 0
        && ::fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0) {
        // Another owner is the superuser's privilege; the file stays ours.
    }
    ::fchmod(fd, old->st_mode & 07777);
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

/// Writes `data` into a new unnamed file in the target's folder and gives it
/// a temporary name only once it is complete, so a kill while writing leaves
/// nothing. Answers the name, or an empty text with `error` set (0 when the
/// file system or /proc does not offer this and a named file must be used).
std::string writeUnnamed(
    const std::string& target, std::string_view data, const struct stat* old, int& error)
{
    const int fd
        = ::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, old ? 0600 : 0666);
    if (fd < 0) {
        error = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? 0 : -errno;
        return {};
    }
    takeOver(fd, old);
    if (!writeAll(fd, data)) {
        error = errno;
        ::close(fd);
        return {};
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    error = errno == ENOENT ? 0 : errno; // ENOENT: no /proc to link from
    ::close(fd);
    return {};
}

/// The same with a file created exclusively under an unpredictable name.
std::string writeNamed(
    const std::string& target, std::string_view data, const struct stat* old, int& error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryName(target);
        const int fd = ::open(
            name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, old ? 0600 : 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error = -errno;
            return {};
        }
        takeOver(fd, old);
        const bool written = writeAll(fd, data);
        error = errno;
        if (::close(fd) != 0 && written)
            error = errno;
        else if (written)
            return name;
        ::unlink(name.c_str());
        return {};
    }
    error = EEXIST;
    return {};
}

} // namespace

bool replaceFileContent(const std::string& path, std::string_view data, std::string* error)
{
    const auto fail = [&](std::string why) {
        if (error)
            *error = std::move(why);
        return false;
    };
    if (path.empty())
        return fail("no file named");
    const std::string target = resolvedTarget(path);
    struct stat old { };
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(reasonFor(errno));
    if (exists && !S_ISREG(old.st_mode))
        return fail(kindProblem(old.st_mode));
    // A rename would replace a file the user may not write without a word;
    // the file's own permissions decide, as for writing into it.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(errno == EROFS ? reasonFor(EROFS)
                                   : "the file is read-only for this user (permission denied)");

    removeLeftovers(target);
    int reason = 0;
    std::string temporary = writeUnnamed(target, data, exists ? &old : nullptr, reason);
    if (temporary.empty() && reason == 0)
        temporary = writeNamed(target, data, exists ? &old : nullptr, reason);
    if (temporary.empty())
        return fail(reasonFor(reason));
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return fail(reasonFor(renameError));
    }
    syncFolder(folderOf(target));
    return true;
}

} // namespace tessra
