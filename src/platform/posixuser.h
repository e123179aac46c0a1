#pragma once
// Who the user is, from the system's user database rather than the
// environment, which differs between a desktop, su, ssh and cron.
#include <QByteArray>

#include <grp.h>
#include <pwd.h>
#include <string_view>
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

// Whether group `gid` is the effective user's private one (named after the
// user, the user's primary group, and no other member), as Debian makes them.
inline bool isPrivateGroup(gid_t gid)
{
    struct passwd entry, *user = nullptr;
    struct group group, *found = nullptr;
    std::vector<char> buffer(16384), names(65536);
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &user) != 0 || !user
        || user->pw_gid != gid || ::getgrgid_r(gid, &group, names.data(), names.size(), &found) != 0
        || !found || std::string_view(found->gr_name) != user->pw_name)
        return false;
    for (char **member = found->gr_mem; *member; ++member)
        if (std::string_view(*member) != user->pw_name)
            return false;
    return true;
}

} // namespace platform::posixuser
