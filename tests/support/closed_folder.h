#pragma once

#include <filesystem>
#include <utility>

#ifdef _WIN32
#include <aclapi.h>
#include <windows.h>
#endif

namespace morvik::test {

// While it lives, a folder takes no new files from an ordinary user: its write
// bits are gone or, on Windows, its access list denies everyone adding files
// and folders. refused() says whether the system holds to that: Wine keeps
// access lists but does not check them.
class ClosedFolder {
  public:
    explicit ClosedFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
#ifdef _WIN32
        PACL current = nullptr;
        if (GetNamedSecurityInfoW(folder_.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, &current, nullptr, &descriptor_) != 0)
            return;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                      &everyone_))
            return;
        EXPLICIT_ACCESSW deny{};
        deny.grfAccessPermissions = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY;
        deny.grfAccessMode = DENY_ACCESS;
        deny.grfInheritance = NO_INHERITANCE;
        deny.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        deny.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        deny.Trustee.ptstrName = static_cast<LPWSTR>(everyone_);
        PACL closed = nullptr;
        if (SetEntriesInAclW(1, &deny, current, &closed) != 0) return;
        closed_ = SetNamedSecurityInfoW(const_cast<wchar_t*>(folder_.c_str()), SE_FILE_OBJECT,
                                        DACL_SECURITY_INFORMATION, nullptr, nullptr, closed,
                                        nullptr) == 0;
        LocalFree(closed);
        if (closed_) original_ = current;
#else
        std::filesystem::permissions(folder_,
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
        closed_ = true;
#endif
    }
    ~ClosedFolder() {
#ifdef _WIN32
        if (closed_) {
            SetNamedSecurityInfoW(const_cast<wchar_t*>(folder_.c_str()), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION, nullptr, nullptr, original_, nullptr);
        }
        if (everyone_ != nullptr) FreeSid(everyone_);
        if (descriptor_ != nullptr) LocalFree(descriptor_);
#else
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
#endif
    }
    ClosedFolder(const ClosedFolder&) = delete;
    ClosedFolder& operator=(const ClosedFolder&) = delete;

    bool refused() const {
#ifdef _WIN32
        if (!closed_) return false;
        const std::filesystem::path probe = folder_ / "probe";
        const HANDLE file =
            CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return true;
        CloseHandle(file);
        DeleteFileW(probe.c_str());
        return false;
#else
        // Root adds files to any folder: the ordinary user it runs as meets this.
        return closed_;
#endif
    }

  private:
    std::filesystem::path folder_;
    bool closed_ = false;
#ifdef _WIN32
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    PACL original_ = nullptr;
    PSID everyone_ = nullptr;
#endif
};

}  // namespace morvik::test
