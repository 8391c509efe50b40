#pragma once

#include <algorithm>
#include <vector>

#ifdef _WIN32

namespace morvik::test {

// Windows keeps no root that writes past a read-only file: its user already
// meets an ordinary user's limits.
class OrdinaryUser {
  public:
    bool ok() const { return true; }
    static constexpr const char* kCannotSwitch = "";
};
inline bool becomeOrdinaryUser() {
    return true;
}

}  // namespace morvik::test

#else

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

namespace morvik::test {

// The account that meets the limits an ordinary user meets: root reads and
// writes every file whatever its permissions say.
struct Account {
    uid_t uid = 65534;
    gid_t gid = 65534;
};

inline Account ordinaryAccount() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody != nullptr ? Account{nobody->pw_uid, nobody->pw_gid} : Account{};
}

// While it lives, the process acts as an ordinary user. Root takes the
// ordinary account's effective ids and no other groups, and gets its own back
// at the end; anyone else already is one. ok() is false when root could not
// switch: the test cannot meet the limits then.
// In a process about to run another program: take the ordinary account's ids
// for good (root only); false when they could not be taken.
inline bool becomeOrdinaryUser() {
    const Account account = ordinaryAccount();
    return ::geteuid() != 0 || (::setgroups(0, nullptr) == 0 && ::setgid(account.gid) == 0 &&
                                ::setuid(account.uid) == 0);
}

class OrdinaryUser {
  public:
    OrdinaryUser() {
        if (::geteuid() != 0) {
            ok_ = true;
            return;
        }
        gid_ = ::getegid();
        groups_.resize(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
        if (::getgroups(static_cast<int>(groups_.size()), groups_.data()) < 0) groups_.clear();
        const Account account = ordinaryAccount();
        if (::setgroups(0, nullptr) != 0 || ::setegid(account.gid) != 0 ||
            ::seteuid(account.uid) != 0) {
            restore();
            return;
        }
        switched_ = true;
        ok_ = true;
    }
    ~OrdinaryUser() {
        if (switched_) restore();
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

    bool ok() const { return ok_; }

    static constexpr const char* kCannotSwitch =
        "running as root, and the ordinary account's ids could not be taken";

  private:
    void restore() {
        (void)::seteuid(0);
        (void)::setegid(gid_);
        (void)::setgroups(groups_.size(), groups_.data());
    }

    std::vector<gid_t> groups_;
    gid_t gid_ = 0;
    bool switched_ = false;
    bool ok_ = false;
};

}  // namespace morvik::test

#endif
