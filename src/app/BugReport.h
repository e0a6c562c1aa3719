#pragma once

namespace tintra {

// "Report a Bug": opens the project's issue tracker in the desktop's browser;
// nothing happens when the build names no web address for it.
void reportBug();
bool canReportBugs();

} // namespace tintra
