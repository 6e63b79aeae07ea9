// SPDX-License-Identifier: Apache-2.0
// Whether two paths name one file (base/file_status.h): used to keep an
// export from being written over the database it was read from.
#pragma once

#include "base/file_status.h"
