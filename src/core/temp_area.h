// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <string_view>

namespace brisklo {

// Temporary files of a run live in a folder of their own under our Temp folder
// ("Brisklo/Temp/<front end>-<pid>-<n>"), next to a lock that the run holds for
// as long as it lives. A run that ended in any way, even killed outright, has
// given its lock back, so a later start can tell its leftovers from the files of
// a run that is still going.

// This process's temporary folder, created with its lock on first use (front end
// named by SetRunName, "run" otherwise). Empty when it cannot be created. The
// folder is removed when the program ends normally.
const std::filesystem::path& RunTemporaryFolder();
// Names the front end in the folder's name; call before the first use.
void SetRunName(std::string_view name);

// What CleanLeftovers removed.
struct LeftoverCount {
    int folders = 0;  // run folders of runs that no longer live
    int files = 0;    // single temporary files
};

// Removes what earlier runs left behind and nothing else: run folders under
// tempRoot whose lock nobody holds, older loose temporary images and ImageMagick
// files directly in tempRoot, and copies of the settings file
// ("configure.ini.XXXXXX") beside settingsFile older than minAge, whose writer
// has died before renaming them.
LeftoverCount CleanLeftovers(const std::filesystem::path& tempRoot,
                             const std::filesystem::path& settingsFile,
                             std::chrono::seconds minAge = std::chrono::seconds(60));

// The default places: our Temp folder and the settings file of ConfigStore::Instance.
std::filesystem::path TemporaryRoot();

}  // namespace brisklo
