#pragma once

#include <string>

// The documents road of the example host, for the user the main road signed in: the app's
// required types, one upload of the photo at `photoPath` with its progress and status polls,
// and the user's documents with their statuses. Returns the process exit code.
int documentsRoad(const std::string& photoPath);
