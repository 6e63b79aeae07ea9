// SPDX-License-Identifier: Apache-2.0
// A fresh folder for one test, removed with everything in it when the object
// goes away (the program's scratch folder, under the tests' name for it).
#pragma once

#include "base/temp_folder.h"

namespace corvadex::testing {

using TempDir = TempFolder;

}  // namespace corvadex::testing
