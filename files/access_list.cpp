// Building the new access list of grant_access in memory: explicit entries
// first, the new allow entry after them, inherited entries last, which is the
// order Windows itself keeps and expects.
#include "files/access_list.h"

#include <stddef.h>
#include <stdlib.h>

#include "frame/messages.h"

static void* allocate(size_t size)
{
    void* block = malloc(size);
    if (!block)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

// Only the basic allow and deny entries hold an identifier right after the
// header and the mask; object, callback and audit entries are laid out
// otherwise and are never read as one. The identifier must lie wholly inside
// the entry, however the entry came to be.
static bool entry_names_grantee(const ACE_HEADER* header, PSID grantee)
{
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
        return false;
    const size_t sid_offset = offsetof(ACCESS_ALLOWED_ACE, SidStart);
    const size_t sid_header = 8;   // revision, count, authority
    if (header->AceSize < sid_offset + sid_header)
        return false;
    const BYTE* sid = (const BYTE*)header + sid_offset;
    if (GetSidLengthRequired(sid[1]) > header->AceSize - sid_offset)
        return false;
    return EqualSid((PSID)sid, grantee) != FALSE;
}

void release_access_descriptor(access_descriptor* result)
{
    free(result->list);
    result->list = nullptr;
}

bool compose_access_descriptor(PSECURITY_DESCRIPTOR old_descriptor, PSID grantee,
                               DWORD access_mask, bool inheritable, access_descriptor* result)
{
    result->list = nullptr;
    ACL* new_list = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    ACL* old_list = nullptr;
    ACL_SIZE_INFORMATION old_size = {0, sizeof(ACL), 0};
    DWORD new_size;
    DWORD index = 0;
    SECURITY_DESCRIPTOR_CONTROL old_control = 0;
    SECURITY_DESCRIPTOR_CONTROL carried = 0;
    DWORD revision = 0;

    if (check_step(InitializeSecurityDescriptor(&result->descriptor, SECURITY_DESCRIPTOR_REVISION),
                   "InitializeSecurityDescriptor failed"))
        goto cleanup;
    if (check_step(GetSecurityDescriptorDacl(old_descriptor, &present, &old_list, &defaulted),
                   "GetSecurityDescriptorDacl failed"))
        goto cleanup;
    // A null list grants everybody everything; it is replaced, not widened.
    if (!old_list)
        present = FALSE;
    if (present &&
        check_step(GetAclInformation(old_list, &old_size, sizeof old_size, AclSizeInformation),
                   "GetAclInformation failed"))
        goto cleanup;

    new_size = old_size.AclBytesInUse + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(grantee) -
               sizeof(DWORD);
    new_list = (ACL*)allocate(new_size);
    if (check_step(new_list != nullptr, "malloc (%d) failed on pNewACL", (int)new_size))
        goto cleanup;
    if (check_step(InitializeAcl(new_list, new_size, ACL_REVISION_DS), "InitializeAcl failed"))
        goto cleanup;

    if (present) {
        for (; index < old_size.AceCount; ++index) {
            ACE_HEADER* entry = nullptr;
            if (check_step(GetAce(old_list, index, (void**)&entry), "GetAce [%d of %d] failed",
                           (int)index, (int)old_size.AceCount))
                goto cleanup;
            if (entry->AceFlags & INHERITED_ACE)
                break;
            if (entry_names_grantee(entry, grantee))
                continue;
            if (check_step(AddAce(new_list, ACL_REVISION, MAXDWORD, entry, entry->AceSize),
                           "AddAce [%d of %d] failed", (int)index, (int)old_size.AceCount))
                goto cleanup;
        }
    }

    if (check_step(AddAccessAllowedAceEx(new_list, ACL_REVISION_DS,
                                         inheritable ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0,
                                         access_mask, grantee),
                   "AddAccessAllowedAce failed"))
        goto cleanup;

    // Inherited entries stay as the parent gave them, the grantee's included.
    if (present) {
        for (; index < old_size.AceCount; ++index) {
            ACE_HEADER* entry = nullptr;
            if (check_step(GetAce(old_list, index, (void**)&entry), "GetAce 2 [%d of %d] failed",
                           (int)index, (int)old_size.AceCount))
                goto cleanup;
            if (check_step(AddAce(new_list, ACL_REVISION, MAXDWORD, entry, entry->AceSize),
                           "AddAce 2 [%d of %d] failed", (int)index, (int)old_size.AceCount))
                goto cleanup;
        }
    }

    if (check_step(SetSecurityDescriptorDacl(&result->descriptor, TRUE, new_list, FALSE),
                   "SetSecurityDescriptorDacl failed"))
        goto cleanup;
    if (check_step(GetSecurityDescriptorControl(old_descriptor, &old_control, &revision),
                   "GetSecurityDescriptorControl failed."))
        goto cleanup;

    // An auto-inherited list stays open to what its parent passes down; a
    // protected one stays closed to it. Both at once cannot be kept: the
    // auto-inherit state wins.
    if (old_control & SE_DACL_AUTO_INHERITED)
        carried = SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED;
    else if (old_control & SE_DACL_PROTECTED)
        carried = SE_DACL_PROTECTED;
    if (carried &&
        check_step(SetSecurityDescriptorControl(&result->descriptor, carried, carried),
                   "SetSecurityDescriptorControl failed"))
        goto cleanup;

    result->list = new_list;
    new_list = nullptr;
    return true;

cleanup:
    free(new_list);
    return false;
}
