#pragma once

// Runs a piece of a test with the rights of an ordinary user, so that file
// permissions apply to it as they do to the program's users.

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace tessra::test {

/// The account a test run by the superuser drops to.
inline const passwd* ordinaryAccount()
{
    return ::geteuid() == 0 ? ::getpwnam("nobody") : ::getpwuid(::geteuid());
}

/// Runs `body` as an ordinary user and answers the text it returns: in this
/// process when the test does not run as the superuser, else in a child
/// process that has dropped to "nobody" (its answer comes back through a
/// pipe). Nothing when the child could not drop its rights or did not end
/// normally. The child must not touch anything of the test framework.
inline std::optional<std::string> asOrdinaryUser(const std::function<std::string()>& body)
{
    if (::geteuid() != 0)
        return body();
    const passwd* user = ordinaryAccount();
    int pipe[2];
    if (!user || ::pipe(pipe) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0
            || ::setuid(user->pw_uid) != 0 || ::geteuid() == 0)
            ::_exit(2);
        const std::string answer = body();
        for (std::size_t done = 0; done < answer.size();) {
            const ssize_t n = ::write(pipe[1], answer.data() + done, answer.size() - done);
            if (n <= 0)
                ::_exit(3);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

} // namespace tessra::test
