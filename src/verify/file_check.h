// The installed-file check dialog (template 114), opened without owner by
// the mode loop. It lists every installed file the script gives a digest
// for and checks them on "実行"; it never changes AppMode.
#pragma once

void FileCheckDialog();
// The same with the caller's record, which holds the check's state afterwards.
struct FileCheckRun;
void FileCheckDialog(FileCheckRun* run);

// The closing messages, shown with the caption "Drubel".
extern const char FileCheckSoundText[];
// The closing message when files are in error, asking はい/いいえ whether to
// copy them back from their discs.
extern const char FileCheckRepairOfferText[];
