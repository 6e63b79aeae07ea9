// SPDX-License-Identifier: Apache-2.0
// Where the tests find their input files: the data folder (tests/data in
// the source tree, or the folder named by the environment variable
// CORVADEX_TEST_DATA) and the sample folder (samples/).
//
// Each function throws std::runtime_error naming the file when it does not
// exist, so a test whose data is missing fails saying which file it needed.
#pragma once

#include <string>
#include <vector>

namespace corvadex::testing {

// A file in the data folder, by its path below it ("ese/basic.edb").
std::string dataFile(const std::string& relative);

// One of the real ESE databases, by name without ".edb" ("basic", ...),
// and the dump of what it holds ("basic" -> ese/basic.dump.json).
std::string eseSample(const std::string& name);
std::string eseSampleDump(const std::string& name);
// The names of the real ESE databases in the data folder.
const std::vector<std::string>& eseSampleNames();

// A file in the sample folder ("contacts.edb").
std::string sampleFile(const std::string& name);

}  // namespace corvadex::testing
