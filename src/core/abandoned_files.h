#pragma once
// What instances ended by a kill leave behind: string caches with their
// journal and result files in the program directory, and the unfinished
// files of a save beside a table. A file is removed only when no live
// process owns it: a cache by the lock its instance holds on it (and the
// files carrying its number with it), the others by the owner's process id
// in their names.

#include <string>

namespace lexicarta {

// Whether no process of that id exists any more (one of another user counts
// as alive).
bool ProcessIsGone(long pid);

// The process id as temporary names carry it: "-" + decimal id + "-".
std::string OwnerTag();
// The id in a name that continues with what OwnerTag gives (digits, then
// '-'), or 0 when it does not.
long OwnerOfTail(const std::string& tail);

// Removes from directory (trailing '/') the string caches no instance holds
// and every file numbered like them: journal files, result files and
// unfinished caches.
void RemoveAbandonedTemporaryFiles(const std::string& directory);

// Removes the unfinished files of saves of tablePath whose process has
// ended: the new table and backups written beside it (and the command
// line's unfinished output files). Safest with the table's lock held.
void RemoveAbandonedSaveFiles(const std::string& tablePath);

}  // namespace lexicarta
