#pragma once
// Who the user is, from the system's user database rather than the
// environment, which differs between a desktop, su, ssh and cron.
#include <QByteArray>

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform::posixuser {

// The home folder the user database gives the effective user; empty when it
// gives none, or only the root folder.
inline QByteArray home()
{
    struct passwd entry, *found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found
        || !found->pw_dir || found->pw_dir[0] != '/' || found->pw_dir[1] == '\0')
        return {};
    return QByteArray(found->pw_dir);
}

} // namespace platform::posixuser
