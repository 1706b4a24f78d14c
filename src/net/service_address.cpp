// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/service_address.h"

namespace brisklo {

std::string ServiceUrl(std::string_view base, std::string_view path) {
    while (base.ends_with('/')) base.remove_suffix(1);
    std::string url(base);
    url += path;
    return url;
}

}  // namespace brisklo
