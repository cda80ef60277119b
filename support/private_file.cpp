#include "support/private_file.h"

#include "support/optional_functions.h"
#include "support/windows_version.h"

// Room for an ACL of three entries of at most 68-byte SIDs.
constexpr DWORD kAclSize = 512;

// The SID of the user the process runs as, copied into sid (size bytes).
static bool CurrentUserSid(PSID sid, DWORD size)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD info[128]; // TOKEN_USER and its SID, DWORD-aligned
    DWORD got = 0;
    bool ok = GetTokenInformation(token, TokenUser, info, sizeof info, &got) != FALSE;
    CloseHandle(token);
    return ok && CopySid(size, sid, reinterpret_cast<TOKEN_USER *>(info)->User.Sid);
}

static bool AllowAll(PACL acl, PSID sid) { return AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, sid); }

// Keeps the folder's inheritable entries out of the file's DACL. Windows 2000 and later
// merge them into a given DACL unless it is protected; NT 4 neither merges nor knows the call.
static bool ProtectDacl(SECURITY_DESCRIPTOR &sd)
{
    SetSecurityDescriptorControlCall setControl = OptionalSetSecurityDescriptorControl();
    return !setControl || setControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

HANDLE CreatePrivateFile(const char *path)
{
    if (NtMajorVersion() == 0)
        return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD user[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
    DWORD acl[kAclSize / sizeof(DWORD)];
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID system = nullptr, admins = nullptr;
    SECURITY_DESCRIPTOR sd;
    bool ok = CurrentUserSid(user, sizeof user) &&
              AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system) &&
              AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                       &admins) &&
              InitializeAcl(reinterpret_cast<PACL>(acl), sizeof acl, ACL_REVISION) &&
              AllowAll(reinterpret_cast<PACL>(acl), user) && AllowAll(reinterpret_cast<PACL>(acl), system) &&
              AllowAll(reinterpret_cast<PACL>(acl), admins) &&
              InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
              SetSecurityDescriptorDacl(&sd, TRUE, reinterpret_cast<PACL>(acl), FALSE) && ProtectDacl(sd);
    HANDLE file = INVALID_HANDLE_VALUE;
    if (ok) {
        SECURITY_ATTRIBUTES attributes = {sizeof attributes, &sd, FALSE};
        file = CreateFileA(path, GENERIC_WRITE, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (system)
        FreeSid(system);
    if (admins)
        FreeSid(admins);
    return file;
}
