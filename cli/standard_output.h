// The end of a run's standard output: what the system refused to take there
// must not pass for done.
#pragma once

namespace zorbix {

// Flushes standard output. If anything written there was lost (a full disk,
// a closed pipe), says so on standard error and returns a failure code in
// place of `code` when that was a success; otherwise returns `code`.
int TerminerSortieStandard(int code);

}  // namespace zorbix
