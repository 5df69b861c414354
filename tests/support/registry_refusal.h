// A registry key that refuses writes for as long as the guard lives: its
// access list denies setting values and creating subkeys to everyone, so a
// writer's open for KEY_SET_VALUE fails as it would on a locked-down
// machine. Reading stays allowed. The key's own access list comes back at
// the end, so the test can delete the key afterwards.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <vector>

namespace bench {

class RegistryWriteRefusal {
public:
    RegistryWriteRefusal(HKEY root, const char* path) {
        if (RegOpenKeyExA(root, path, 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD size = 0;
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (size == 0 || RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
            saved_.clear();
        PSECURITY_DESCRIPTOR refusing = nullptr;
        // Deny KEY_SET_VALUE | KEY_CREATE_SUB_KEY, allow all the rest.
        if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                 &refusing, nullptr)) {
            active_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, refusing) == ERROR_SUCCESS;
            LocalFree(refusing);
        }
    }
    ~RegistryWriteRefusal() {
        if (!key_) return;
        if (active_ && !saved_.empty()) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
        RegCloseKey(key_);
    }
    RegistryWriteRefusal(const RegistryWriteRefusal&) = delete;
    RegistryWriteRefusal& operator=(const RegistryWriteRefusal&) = delete;

    // True once the key refuses writes.
    bool Active() const { return active_; }

private:
    HKEY key_ = nullptr;
    std::vector<BYTE> saved_;
    bool active_ = false;
};

}  // namespace bench
