// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisklo {

// Performs libcurl's global initialisation (CURL_GLOBAL_ALL) once per process,
// whichever thread asks first. Every user of libcurl in the engine calls it before
// creating a handle. Global clean-up is never run: a detached request may still be
// using the library while the process ends.
void EnsureCurlGlobalInit();

}  // namespace brisklo
