// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace brisklo {

enum class AddressVerdict {
    Usable,
    Invalid,   // not a URL, or no file name at the end of its path
    NotHttps,  // any scheme but https: the installer would travel unprotected
};

// An installer address checked before anything is fetched.
struct InstallerAddress {
    AddressVerdict verdict = AddressVerdict::Invalid;
    std::string url;       // the address as given
    std::string fileName;  // the last segment of its path, as written (no query)
    std::string reason;    // why it cannot be used
};

// Only https addresses whose path ends in a file name are usable; the name is
// what the installer is saved as.
InstallerAddress ParseInstallerAddress(std::string_view url);

}  // namespace brisklo
