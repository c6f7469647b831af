// Widening a file's or folder's access list by one allow entry: the grantee is
// looked up (or Everyone is made), the old descriptor read, the new one composed
// in memory and written back in one SetFileSecurityA.
#include "files/access_grant.h"

#include <stdlib.h>

#include "files/access_list.h"
#include "frame/messages.h"

static void* allocate(size_t size)
{
    void* block = malloc(size);
    if (!block)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

bool grant_access(const char* path, const char* account, DWORD access_mask, bool inheritable)
{
    bool granted = false;
    PSID user_sid = nullptr;          // from malloc (account given)
    PSID everyone_sid = nullptr;      // from AllocateAndInitializeSid
    char* domain = nullptr;
    PSECURITY_DESCRIPTOR file_descriptor = nullptr;
    access_descriptor composed = {};
    PSID grantee;
    DWORD descriptor_size = 0;

    if (account) {
        DWORD sid_size = 0;
        DWORD domain_size = 0;
        SID_NAME_USE use;
        // The first call only asks for the sizes; it has to fail with 122.
        if (LookupAccountNameA(nullptr, account, nullptr, &sid_size, nullptr, &domain_size, &use)) {
            fail_step("Unexpected non-failing of LookupAccountName");
            goto cleanup;
        }
        if (fail_step("LookupAccountName 1 failed") != ERROR_INSUFFICIENT_BUFFER)
            goto cleanup;
        user_sid = allocate(sid_size);
        if (check_step(user_sid != nullptr, "malloc (%d) failed on pUserSID", (int)sid_size))
            goto cleanup;
        domain = (char*)allocate(domain_size);
        if (check_step(domain != nullptr, "malloc (%d) failed on szDomain", (int)domain_size))
            goto cleanup;
        if (check_step(LookupAccountNameA(nullptr, account, user_sid, &sid_size, domain,
                                          &domain_size, &use),
                       "LookupAccountName 2 failed"))
            goto cleanup;
        grantee = user_sid;
    } else {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        if (check_step(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                                &everyone_sid),
                       "AllocateAndInitializeSid (Everyone) failed"))
            goto cleanup;
        grantee = everyone_sid;
    }

    if (GetFileSecurityA(path, DACL_SECURITY_INFORMATION, nullptr, 0, &descriptor_size)) {
        fail_step("Unexpected non-failing of GetFileSecurity");
        goto cleanup;
    }
    if (fail_step("GetFileSecurity 1 failed") != ERROR_INSUFFICIENT_BUFFER)
        goto cleanup;
    file_descriptor = allocate(descriptor_size);
    if (check_step(file_descriptor != nullptr, "malloc (%d) failed on pFileSD", (int)descriptor_size))
        goto cleanup;
    if (check_step(GetFileSecurityA(path, DACL_SECURITY_INFORMATION, file_descriptor,
                                    descriptor_size, &descriptor_size),
                   "GetFileSecurity 2 failed"))
        goto cleanup;

    if (!compose_access_descriptor(file_descriptor, grantee, access_mask, inheritable, &composed))
        goto cleanup;

    // The one write: every failure before it leaves the target as it was.
    if (check_step(SetFileSecurityA(path, DACL_SECURITY_INFORMATION, &composed.descriptor),
                   "SetFileSecurity failed"))
        goto cleanup;
    granted = true;

cleanup:
    release_access_descriptor(&composed);
    free(file_descriptor);
    free(domain);
    free(user_sid);
    if (everyone_sid)
        FreeSid(everyone_sid);
    return granted;
}
