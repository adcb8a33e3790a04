#include "editing/table_pair_saver.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/abandoned_files.h"
#include "core/file_io.h"

namespace lexicarta {
namespace {

// The male file as it is before the save replaces it, under a name of its
// own beside it (another name of the same file where the file system allows
// it, else a copy on disk). Left behind only when it could not be put back,
// or when the save was killed between the two replacements.
bool KeepCurrentVersion(const std::string& resolved, std::string& kept)
{
    for (int k = 0; k < 100; ++k) {
        kept = resolved + ".restore" + OwnerTag() + std::to_string(k);
        if (!FileExists(kept)) return MakeBackup(resolved, kept, true);
    }
    errno = EEXIST;
    return false;
}

void SyncFolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) ::fsync(directory.get());
}

}  // namespace

std::string PairSaveFailureMessage(const PairSaveOutcome& outcome, const std::string& maleTarget,
                                   const std::string& femaleTarget)
{
    const std::string failed = SaveFailureMessage(outcome.failure);
    if (failed.empty()) return {};
    if (outcome.failedSide == PairSide::Male)
        return failed + " \"" + femaleTarget + "\" was not saved either.";
    if (!outcome.maleReplaced) return failed + " \"" + maleTarget + "\" was not saved either.";
    if (outcome.maleRestored)
        return failed + " \"" + maleTarget + "\" was put back as it was: both tables are as they were and your changes are kept.";
    const std::string oldVersion = outcome.maleOldVersion.empty()
                                       ? "it did not exist before"
                                       : "its old version is in \"" + outcome.maleOldVersion + "\"";
    return failed + " \"" + maleTarget + "\" could not be put back: it holds your new version and " + oldVersion +
           ", while \"" + femaleTarget + "\" still holds its old version. Your changes are kept; save again.";
}

SaveResult SaveTablePair(TalkTable& male, const SaveRequest& maleRequest, TalkTable& female,
                         const SaveRequest& femaleRequest, Progress& progress, Dialogs& dialogs, RunFlags& flags,
                         PairSaveOutcome* outcome)
{
    PairSaveOutcome local;
    PairSaveOutcome& out = outcome ? *outcome : local;
    out = {};
    TableSave maleSave(male, maleRequest, progress, dialogs, flags);
    TableSave femaleSave(female, femaleRequest, progress, dialogs, flags);
    auto failed = [&](const TableSave& save, PairSide side) {
        out.failedSide = side;
        out.failure = save.failure();
        out.result = save.failedResult();
        if (progress.isShown()) {
            flags.ProcessFinished = true;
            progress.close();
        }
        const std::string message = PairSaveFailureMessage(out, maleRequest.target, femaleRequest.target);
        if (!message.empty())
            dialogs.message(out.maleReplaced && !out.maleRestored ? BoxKind::Error : SaveFailureBoxKind(out.failure),
                            message);
        return out.result;
    };

    // Nothing is replaced until both new files are on disk and both backups made.
    if (!maleSave.begin()) return failed(maleSave, PairSide::Male);
    if (!femaleSave.begin()) return failed(femaleSave, PairSide::Female);
    if (!maleSave.write()) return failed(maleSave, PairSide::Male);
    if (!femaleSave.write()) return failed(femaleSave, PairSide::Female);
    if (!maleSave.stillMayReplace()) return failed(maleSave, PairSide::Male);
    if (!femaleSave.stillMayReplace()) return failed(femaleSave, PairSide::Female);
    if (!maleSave.makeLinkedBackups()) return failed(maleSave, PairSide::Male);
    if (!femaleSave.makeLinkedBackups()) return failed(femaleSave, PairSide::Female);

    const std::string& maleFile = maleSave.resolvedTarget();
    std::string kept;
    if (maleSave.targetExisted() && !KeepCurrentVersion(maleFile, kept)) {
        out.failedSide = PairSide::Male;
        out.failure = {SaveFailureKind::BackupFailed, kept, {}, errno};
        out.result = SaveResult::Failed;
        if (progress.isShown()) {
            flags.ProcessFinished = true;
            progress.close();
        }
        dialogs.message(BoxKind::Error, PairSaveFailureMessage(out, maleRequest.target, femaleRequest.target));
        return out.result;
    }
    if (!maleSave.replace()) {
        if (!kept.empty()) RemoveFile(kept);
        return failed(maleSave, PairSide::Male);
    }
    out.maleReplaced = true;
    if (!femaleSave.replace()) {
        // The male file goes back to what it was: a rename, which needs no room on the disk.
        out.maleRestored = kept.empty() ? RemoveFile(maleFile) : ::rename(kept.c_str(), maleFile.c_str()) == 0;
        if (!out.maleRestored) out.maleOldVersion = kept;
        SyncFolderOf(maleFile);
        return failed(femaleSave, PairSide::Female);
    }
    if (!kept.empty()) RemoveFile(kept);

    const SaveResult maleResult = maleSave.finish();
    const SaveResult femaleResult = femaleSave.finish();
    out.result = maleResult == SaveResult::Saved && femaleResult == SaveResult::Saved ? SaveResult::Saved
                                                                                     : SaveResult::SavedCacheFailed;
    return out.result;
}

}  // namespace lexicarta
